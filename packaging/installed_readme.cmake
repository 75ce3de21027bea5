# Writes the README that the package installs beside the pages and pictures it links:
#   cmake -DSOURCE=README.md -DOUTPUT=FILE -P installed_readme.cmake
# The parts between "<!-- source -->" and "<!-- /source -->" need the source tree and are left
# out; links into docs/ point beside the README, where those files are installed.
file(READ "${SOURCE}" text)
set(open "<!-- source -->")
set(close "<!-- /source -->")
string(LENGTH "${close}" closeLength)
string(FIND "${text}" "${open}" start)
while(NOT start EQUAL -1)
    string(FIND "${text}" "${close}" end)
    if(end LESS start)
        message(FATAL_ERROR "${SOURCE}: \"${open}\" without \"${close}\" after it")
    endif()
    math(EXPR after "${end} + ${closeLength}")
    string(SUBSTRING "${text}" 0 ${start} before)
    string(SUBSTRING "${text}" ${after} -1 rest)
    set(text "${before}${rest}")
    string(FIND "${text}" "${open}" start)
endwhile()
string(REPLACE "](docs/" "](" text "${text}")
string(REPLACE "[docs/" "[" text "${text}")
string(REGEX REPLACE "\n\n\n+" "\n\n" text "${text}")
file(WRITE "${OUTPUT}" "${text}")
