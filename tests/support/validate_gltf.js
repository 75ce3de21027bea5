// Checks glTF files with the Khronos glTF validator: one line per file, "FILE errors=E warnings=W",
// then the messages of both kinds; exits 1 when any file has either.
'use strict';
const fs = require('fs');
const validator = require('gltf-validator');

async function main(files) {
    let bad = false;
    for (const file of files) {
        const report = await validator.validateBytes(new Uint8Array(fs.readFileSync(file)));
        const { numErrors, numWarnings, messages } = report.issues;
        console.log(`${file} errors=${numErrors} warnings=${numWarnings}`);
        for (const m of messages.filter((m) => m.severity <= 1)) {
            console.log(`  ${m.code} ${m.pointer || ''}: ${m.message}`);
        }
        bad = bad || numErrors > 0 || numWarnings > 0;
    }
    return bad ? 1 : 0;
}

main(process.argv.slice(2)).then(
    (status) => process.exit(status),
    (error) => {
        console.error(error);
        process.exit(2);
    });
