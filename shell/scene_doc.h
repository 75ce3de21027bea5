// The document: no scene data, only its title. It is never modified.
#pragma once

#include <QString>

#include "platform/framework/command_routing.h"

class CSceneDoc : public kavelo::platform::framework::MessageMapTarget<CSceneDoc> {
  public:
    static std::span<const kavelo::platform::framework::MessageMapEntry<CSceneDoc>>
    GetMessageMap() {
        return {};
    }

    bool OnNewDocument();
    void SetTitle(const QString& title) { m_strTitle = title; }
    const QString& GetTitle() const { return m_strTitle; }

  private:
    QString m_strTitle;
};
