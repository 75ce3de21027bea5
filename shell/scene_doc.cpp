#include "shell/scene_doc.h"

#include "scene/reader.h"

using kavelo::scene::kSceneFileName;

bool CSceneDoc::OnNewDocument() {
    SetTitle(QStringLiteral("Scene from ") + QString::fromLatin1(kSceneFileName));
    return true;
}
