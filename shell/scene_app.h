// The application object: one single-document template, the About box, Exit.
#pragma once

#include <memory>

#include "platform/framework/command_routing.h"

class CMainFrame;
class CSceneDoc;

// The single-document template: one document, one frame, one view, made in that order.
class CSingleDocTemplate {
  public:
    CSingleDocTemplate();
    ~CSingleDocTemplate();

    // The new-document sequence. Returns false, after telling the user, when the frame or the
    // document could not be made; nothing of them is kept then.
    bool OpenDocumentFile(kavelo::platform::framework::CCmdTarget* application);
    void CloseDocument();

    CMainFrame* Frame() const { return m_pFrame.get(); }
    CSceneDoc* Document() const { return m_pDocument.get(); }

  private:
    std::unique_ptr<CSceneDoc> m_pDocument;
    std::unique_ptr<CMainFrame> m_pFrame;
};

class CSceneApp : public kavelo::platform::framework::MessageMapTarget<CSceneApp> {
  public:
    CSceneApp();
    ~CSceneApp() override;

    static std::span<const kavelo::platform::framework::MessageMapEntry<CSceneApp>> GetMessageMap();

    // Registers the template and opens the new document. Always true; whether a main window
    // exists afterwards tells whether start-up succeeded.
    bool InitInstance();
    // Releases the frame and the document; runs when the message loop has ended.
    int ExitInstance();

    void OnAppAbout();
    void OnAppExit();

    CMainFrame* GetMainWnd() const { return m_pMainWnd; }

  private:
    std::unique_ptr<CSingleDocTemplate> m_pDocTemplate;
    CMainFrame* m_pMainWnd = nullptr;
};

namespace kavelo::shell {

// The one application object.
CSceneApp& AfxGetApp();

}  // namespace kavelo::shell
