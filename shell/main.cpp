// Kavelo: shows the scene of "input.txt" in the current directory. Arguments are ignored.
#include <QApplication>
#include <QSurfaceFormat>
#include <optional>

#include "platform/framework/termination.h"
#include "platform/framework/toolkit_start.h"
#include "platform/gl/surface_format.h"
#include "platform/widgets/quiet_toolkit.h"
#include "shell/resources/resources.h"
#include "shell/scene_app.h"

using kavelo::platform::framework::CloseWindowsOnTermination;
using kavelo::platform::framework::DisplayFailureReport;
using kavelo::platform::gl::SceneSurfaceFormat;
using kavelo::platform::widgets::QuietenToolkit;
using kavelo::resources::Version;
using kavelo::shell::AfxGetApp;

int main(int argc, char** argv) {
    // Every GL widget gets the view's format; it must be set before the application exists.
    QSurfaceFormat::setDefaultFormat(SceneSurfaceFormat());
    // The toolkit sees the program name alone, so that none of the command line, its own options
    // included, changes what the program does. Its environment variables still apply.
    static char fallbackName[] = "kavelo";
    int toolkitArgc = 1;
    char* toolkitArgv[] = {argc > 0 && argv[0] != nullptr ? argv[0] : fallbackName, nullptr};
    QuietenToolkit();
    std::optional<DisplayFailureReport> report(std::in_place);
    QApplication application(toolkitArgc, toolkitArgv);
    report.reset();
    CloseWindowsOnTermination();
    QApplication::setApplicationName(QString::fromLatin1(Version().internalName));
    QApplication::setApplicationDisplayName(QStringLiteral("Kavelo"));
    QApplication::setApplicationVersion(QString::fromLatin1(Version().versionText));

    CSceneApp& app = AfxGetApp();
    app.InitInstance();
    if (app.GetMainWnd() == nullptr) {
        return 1;  // nothing could be shown: a failure, not a success
    }
    const int status = QApplication::exec();
    app.ExitInstance();
    return status;
}
