// SPDX-License-Identifier: MIT
// The program list as the user waits for it: the main window loaded (hive load, scan, icons decoded
// into the image lists, rows into the model) on 1,000, 10,000 and 100,000 entries, then a refresh.
// Usage: tidewell_list_benchmark [ENTRIES...], one size per run to measure its peak memory alone (the
// process's peak so far, printed after each size).
#include "BenchFixture.h"
#include "app/ModMain.h"
#include "inventory/PathMapping.h"
#include "registry/HiveRegistry.h"
#include "registry/RegistryViews.h"
#include "ui/QtMessageService.h"
#include "ui/main/FrmMain.h"
#include "ui/main/ImageList.h"
#include "ui/main/ProgramList.h"
#include "uninstall/Processes.h"

#include <QApplication>
#include <QElapsedTimer>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <sys/resource.h>
#include <vector>

using namespace tw;

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication qapp(argc, argv);
    std::vector<int> sizes;
    for (int i = 1; i < argc; ++i)
        sizes.push_back(std::atoi(argv[i]));
    if (sizes.empty())
        sizes = { 1000, 10000, 100000 };
    QtMessageService messages;
    for (int entries : sizes) {
        const bench::Fixture fixture(entries);
        QElapsedTimer timer;
        timer.start();
        Application app;
        app.context.registryFile = fixture.registryFile;
        app.context.osName = "Microsoft Windows XP";
        app.messages = &messages;
        app.session.registryApi = std::make_unique<HiveRegistry>(fixture.registryFile);
        app.session.views = std::make_unique<RegistryViews>(*app.session.registryApi);
        app.session.registry = &app.session.views->registryFor({});
        app.session.processes = makeProcessCalls(PathMapping::forRegistryFile(fixture.registryFile));
        app.mainWindow = std::make_unique<FrmMain>(app.services());
        const qint64 load = timer.elapsed();
        app.mainWindow->show();
        QApplication::processEvents();
        const qint64 shown = timer.elapsed();
        timer.restart();
        app.mainWindow->mnu_refresh_Click();
        const qint64 refresh = timer.elapsed();
        rusage usage {};
        getrusage(RUSAGE_SELF, &usage);
        std::printf(
            "%6d entries: window loaded in %lld ms (%.1f us/entry), shown after %lld ms, refresh %lld ms; "
            "%d rows, %d images; peak %ld MB\n",
            entries, static_cast<long long>(load), 1000.0 * static_cast<double>(load) / std::max(entries, 1),
            static_cast<long long>(shown), static_cast<long long>(refresh), app.mainWindow->list().rowCount(),
            app.mainWindow->largeImages().count(), usage.ru_maxrss / 1024);
        std::fflush(stdout);
        app.mainWindow.reset();
    }
    return 0;
}
