// Volane in the benchmark's child: the services and forms of Volane.exe, built and started by
// the same steps its Main takes, then either ExpandPath on a folder's node or a record of when
// each start-up step ended.
#include <windows.h>

#include "bench/Children.h"
#include "modules/mdlApp.h"
#include "modules/mdlTVDir.h"
#include "platform/win32/MainWindow.h"
#include "platform/win32/Services.h"
#include "platform/win32/SourceWindow.h"

namespace volane::bench {
namespace {

using namespace volane::win32;

// What app/main.cpp's Application holds, in the same order. The child carries Volane's
// resources, so the pictures come from the running module.
struct VolaneApp {
    HMODULE module = ::GetModuleHandleW(nullptr);
    CodePage codePage;
    FileSystem fs;
    Process process;
    Profile profile;
    Registry registry;
    Shell shell;
    Ui ui;
    AboutServices about{registry, fs, process, ui, shell, codePage};
    MainServices services{fs, process, profile, ui, about};
    FormList forms;
    SourceWindow source{forms, module};
    MainWindow main{forms, module, services};

    void InitImages() {
        PictureStage stage(module, source.Picture1(), source.ilFiles(), main.Tree().Window());
        volane::InitImages(stage);
    }
};

}  // namespace

int RunVolaneList(const std::wstring& folder, ChildReport& report) {
    VolaneApp app;
    app.main.Load();
    app.source.Load();
    app.InitImages();
    app.main.Show();
    LoadDrives(app.fs, app.main.Tree());
    TreeView& tv1 = app.main.Tree();
    // The folder's own node, as a double-click would find it.
    if (!tv1.Add({}, folder, LastComponent(folder), GetImageIndex(L"folder"))) {
        report.error = L"cannot add the folder's node";
        return 1;
    }
    PumpPending();
    report.baseBytes = ProcessMemory().workingSet;

    ListingServices listing{app.fs, app.process, app.profile, app.ui, tv1};
    const Stopwatch clock;
    ExpandPath(folder, listing);
    ::UpdateWindow(tv1.Window());
    report.totalMs = clock.ElapsedMs();

    report.peakBytes = ProcessMemory().peakWorkingSet;
    report.count = tv1.Children(folder);
    app.main.Unload();
    return 0;
}

int RunVolaneStartSteps(ChildReport& report) {
    report.phases.emplace_back("entry", SinceProcessCreation());
    VolaneApp app;
    // Main's first question; the answer is not used here, the benchmark runs one at a time.
    app.process.AnotherInstanceRunning();
    report.phases.emplace_back("services", SinceProcessCreation());
    app.main.Load();
    report.phases.emplace_back("frmMain loaded", SinceProcessCreation());
    app.source.Load();
    report.phases.emplace_back("frmSource loaded", SinceProcessCreation());
    app.InitImages();
    report.phases.emplace_back("icon table filled", SinceProcessCreation());
    app.main.Show();
    report.phases.emplace_back("frmMain shown", SinceProcessCreation());
    LoadDrives(app.fs, app.main.Tree());
    report.phases.emplace_back("drive roots added", SinceProcessCreation());
    PumpPending();
    report.phases.emplace_back("first messages handled", SinceProcessCreation());
    report.count = app.main.Tree().Count();
    report.totalMs = report.phases.back().second;
    report.peakBytes = ProcessMemory().peakWorkingSet;
    app.main.Unload();
    return 0;
}

}  // namespace volane::bench
