#include "shell/scene_app.h"

#include <QApplication>
#include <QScreen>

#include "platform/framework/resource_strings.h"
#include "platform/widgets/failure_message.h"
#include "platform/widgets/utf8_text.h"
#include "shell/about_dlg.h"
#include "shell/main_frame.h"
#include "shell/resources/resources.h"
#include "shell/scene_doc.h"
#include "view/scene_view.h"

using kavelo::platform::framework::CCmdTarget;
using kavelo::platform::framework::CommandPrompt;
using kavelo::platform::framework::MessageMapEntry;
using kavelo::platform::widgets::FromUtf8;
using kavelo::platform::widgets::MainIconSet;
using kavelo::platform::widgets::ShowFailureMessage;

CSingleDocTemplate::CSingleDocTemplate() = default;

CSingleDocTemplate::~CSingleDocTemplate() {
    CloseDocument();
}

bool CSingleDocTemplate::OpenDocumentFile(CCmdTarget* application) {
    m_pDocument = std::make_unique<CSceneDoc>();
    m_pFrame = std::make_unique<CMainFrame>();
    bool created = m_pFrame->LoadFrame(m_pDocument.get(), application);
    if (created) {
        m_pDocument->SetTitle(QString());
        created = m_pDocument->OnNewDocument();
    }
    if (!created) {
        m_pFrame.reset();
        m_pDocument.reset();
        ShowFailureMessage(FromUtf8(CommandPrompt(AFX_IDS_APP_TITLE)),
                           QStringLiteral("Failed to create empty document."));
        return false;
    }
    m_pFrame->setWindowIcon(MainIconSet());
    m_pFrame->InitialUpdateFrame();
    // The first size, within the screen's available area at whatever scale the screen is used.
    const QSize wanted(900, 640);
    const QScreen* screen = m_pFrame->screen();
    m_pFrame->resize(
        screen != nullptr
            ? wanted.boundedTo(screen->availableSize()).expandedTo(m_pFrame->minimumSize())
            : wanted);
    m_pFrame->FitFrameOnceFramed();
    m_pFrame->show();
    m_pFrame->GetActiveView()->setFocus(Qt::ActiveWindowFocusReason);
    return true;
}

void CSingleDocTemplate::CloseDocument() {
    m_pFrame.reset();
    m_pDocument.reset();
}

CSceneApp::CSceneApp() = default;
CSceneApp::~CSceneApp() = default;

std::span<const MessageMapEntry<CSceneApp>> CSceneApp::GetMessageMap() {
    static const MessageMapEntry<CSceneApp> kMap[] = {
        {ID_APP_ABOUT, &CSceneApp::OnAppAbout},
        {ID_APP_EXIT, &CSceneApp::OnAppExit},
    };
    return kMap;
}

bool CSceneApp::InitInstance() {
    m_pDocTemplate = std::make_unique<CSingleDocTemplate>();
    if (m_pDocTemplate->OpenDocumentFile(this)) {
        m_pMainWnd = m_pDocTemplate->Frame();
    }
    return true;
}

int CSceneApp::ExitInstance() {
    m_pMainWnd = nullptr;
    m_pDocTemplate.reset();
    return 0;
}

void CSceneApp::OnAppAbout() {
    CAboutDlg aboutDlg(m_pMainWnd);
    aboutDlg.exec();
}

// The document is never modified, so the frame closes at once, without a prompt.
void CSceneApp::OnAppExit() {
    if (m_pMainWnd != nullptr) {
        m_pMainWnd->close();
    }
}

namespace kavelo::shell {

CSceneApp& AfxGetApp() {
    static CSceneApp theApp;
    return theApp;
}

}  // namespace kavelo::shell
