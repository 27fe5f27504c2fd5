// SPDX-License-Identifier: MIT
#include "TestApplication.h"

#include "inventory/Inventory.h"
#include "registry/HiveRegistry.h"
#include "ui/main/FrmMain.h"

#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QTest>

namespace tw {
namespace {

QString quoted(QString text)
{
    text.replace(QLatin1Char('\\'), QStringLiteral("\\\\"));
    text.replace(QLatin1Char('"'), QStringLiteral("\\\""));
    return QLatin1Char('"') + text + QLatin1Char('"');
}

} // namespace

void writeRegistry(const QString& file, const QList<TestEntry>& entries)
{
    QString text = QStringLiteral("WINE REGISTRY Version 2\n;; All keys relative to REGISTRY\\\\Machine\n\n");
    for (const TestEntry& entry : entries) {
        text += QStringLiteral("[Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\Uninstall\\\\%1] 1\n")
                    .arg(entry.key);
        if (!entry.displayIcon.isEmpty())
            text += QStringLiteral("\"DisplayIcon\"=") + quoted(entry.displayIcon) + QLatin1Char('\n');
        if (!entry.displayName.isEmpty())
            text += QStringLiteral("\"DisplayName\"=") + quoted(entry.displayName) + QLatin1Char('\n');
        if (entry.noRemove)
            text += QStringLiteral("\"NoRemove\"=dword:%1\n").arg(*entry.noRemove, 8, 16, QLatin1Char('0'));
        if (!entry.noRemoveText.isEmpty())
            text += QStringLiteral("\"NoRemove\"=") + quoted(entry.noRemoveText) + QLatin1Char('\n');
        if (!entry.uninstallString.isEmpty())
            text
                += QStringLiteral("\"UninstallString\"=") + quoted(entry.uninstallString) + QLatin1Char('\n');
        text += QLatin1Char('\n');
    }
    QFile out(file);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate))
        QTest::qFail("cannot write the test registry", __FILE__, __LINE__);
    out.write(text.toLatin1());
}

TestApplication::TestApplication(
    const QList<TestEntry>& entries, const std::string& osName, const QString& registryFolder)
    : m_registryFolder(registryFolder.isEmpty() ? m_dir.path() : registryFolder)
{
    writeRegistry(registryFile(), entries);
    m_app = std::make_unique<Application>();
    m_app->messages = &messages;
    m_app->desktop = &desktop;
    const std::string folder = m_dir.path().toStdString();
    m_app->context = makeAppContext(folder, folder, osName);
    m_app->adopt(openRegistry({ registryFile().toStdString() }, folder));
    m_app->context.helpFile = folder + "/help/tidewell.html";
    // A pinned clock, so log lines do not depend on the machine's time or locale.
    m_app->clock.now = [] { return Clock::TimePoint(std::chrono::seconds(1796540073)); };
    m_app->clock.generalDateTime = [](Clock::TimePoint) { return std::string("06/12/2026 10:00:00"); };
    m_app->clock.shortDate = [](Clock::TimePoint) { return std::string("06/12/2026"); };
    m_app->mainWindow = std::make_unique<FrmMain>(m_app->services());
}

TestApplication::~TestApplication() = default;

FrmMain& TestApplication::window()
{
    return *m_app->mainWindow;
}

QString TestApplication::registryFile() const
{
    return QDir(m_registryFolder).filePath(QStringLiteral("system.reg"));
}

QByteArray fileBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void clickButton(const QObject* parent, const char* name)
{
    auto* button = parent->findChild<QPushButton*>(QLatin1String(name));
    QVERIFY2(button, name);
    QTest::mouseClick(button, Qt::LeftButton);
}

QString TestApplication::uninstallLog() const
{
    return QString::fromLatin1(fileBytes(folder() + QStringLiteral("/UnLog.log")));
}

QString TestApplication::value(const QString& key, const QString& valueName)
{
    return QString::fromStdString(m_app->session.registry->GetStringValue(
        kHKeyLocalMachine, std::string(kUninstallPath) + key.toStdString(), valueName.toStdString()));
}

} // namespace tw
