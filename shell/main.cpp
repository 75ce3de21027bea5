// Kavelo: shows the scene of "input.txt" in the current directory. Arguments are ignored.
#include <QApplication>
#include <QSurfaceFormat>
#include <cstdio>
#include <new>
#include <optional>

#include "platform/framework/termination.h"
#include "platform/framework/toolkit_start.h"
#include "platform/gl/surface_format.h"
#include "platform/widgets/quiet_toolkit.h"
#include "scene/heap_settings.h"
#include "scene/standard_streams.h"
#include "shell/resources/resources.h"
#include "shell/scene_app.h"

using kavelo::platform::framework::CloseWindowsOnTermination;
using kavelo::platform::framework::DisplayFailureReport;
using kavelo::platform::gl::SceneSurfaceFormat;
using kavelo::platform::widgets::QuietenToolkit;
using kavelo::resources::Version;
using kavelo::scene::ConfigureHeap;
using kavelo::scene::HoldStandardStreams;
using kavelo::shell::AfxGetApp;

namespace {

constexpr int kExitOutOfMemory = 1;

void SayOutOfMemory() {
    std::fputs("kavelo: out of memory\n", stderr);
}

// Memory that runs out where nothing nearer could keep the program going ends it with a word
// and a failing status; an exception must not cross the toolkit's event loop.
class Application final : public QApplication {
  public:
    using QApplication::QApplication;
    bool notify(QObject* receiver, QEvent* event) override {
        try {
            return QApplication::notify(receiver, event);
        } catch (const std::bad_alloc&) {
            SayOutOfMemory();
            QApplication::exit(kExitOutOfMemory);
            return false;
        }
    }
};

int Run(int argc, char** argv) {
    // Every GL widget gets the view's format; it must be set before the application exists.
    QSurfaceFormat::setDefaultFormat(SceneSurfaceFormat());
    // The toolkit sees the program name alone, so that none of the command line, its own options
    // included, changes what the program does. Its environment variables still apply.
    static char fallbackName[] = "kavelo";
    int toolkitArgc = 1;
    char* toolkitArgv[] = {argc > 0 && argv[0] != nullptr ? argv[0] : fallbackName, nullptr};
    QuietenToolkit();
    std::optional<DisplayFailureReport> report(std::in_place);
    Application application(toolkitArgc, toolkitArgv);
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

}  // namespace

int main(int argc, char** argv) {
    ConfigureHeap();
    HoldStandardStreams();
    try {
        return Run(argc, argv);
    } catch (const std::bad_alloc&) {
        SayOutOfMemory();
        return kExitOutOfMemory;
    }
}
