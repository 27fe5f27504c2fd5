// SPDX-License-Identifier: MIT
// The main window's list filling: the scan, the icons and the icon change.
#include "ui/main/FrmMain.h"

#include "base/AppContext.h"
#include "base/Clock.h"
#include "base/Errors.h"
#include "inventory/IconExtractor.h"
#include "inventory/Inventory.h"
#include "inventory/PathMapping.h"
#include "registry/Registry.h"
#include "session/Session.h"
#include "system/WineServer.h"
#include "ui/IconDecoder.h"
#include "ui/MessageService.h"
#include "ui/main/ImageList.h"
#include "ui/main/MainServices.h"
#include "ui/main/ProgramList.h"
#include "uninstall/Processes.h"

#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLocale>
#include <QRegularExpression>

namespace tw {
namespace {

char decimalSeparator()
{
    const QString point = QLocale().decimalPoint();
    if (point.size() == 1 && point.at(0).unicode() < 0x80)
        return static_cast<char>(point.at(0).unicode());
    return '.';
}

// A file chosen inside the registry's own prefix is written as the Windows path that prefix gives it
// (…/drive_c/x or …/dosdevices/c:/x as C:\x), so the entry still reads right where it came from.
QString registryPathOf(const QString& chosen, const std::string& prefix)
{
    if (prefix.empty())
        return chosen;
    const QString root = QDir::cleanPath(QString::fromStdString(prefix));
    const QString file = QDir::cleanPath(chosen);
    if (!file.startsWith(root + QLatin1Char('/')))
        return chosen;
    static const QRegularExpression drive(QStringLiteral("^(?:drive_([a-z])|dosdevices/([a-z]):)(?:/(.*))?$"),
        QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = drive.match(file.mid(root.size() + 1));
    if (!match.hasMatch())
        return chosen;
    const QString letter = (match.captured(1) + match.captured(2)).toUpper();
    QString rest = match.captured(3);
    rest.replace(QLatin1Char('/'), QLatin1Char('\\'));
    return letter + QStringLiteral(":\\") + rest;
}

} // namespace

void FrmMain::showUnInstallList()
{
    Procedure proc("showUnInstallList", OnError::Skip);
    Inventory inventory(
        *m_services.session.registry, m_services.context.osName, pathMapping(), decimalSeparator());

    proc.step(__LINE__, [&] {
        if (inventory.usageHidden()) {
            for (int column :
                { ProgramListModel::Size, ProgramListModel::LastUsedOn, ProgramListModel::Frequency })
                m_list->setColumnWidth(column, 0);
        }
    });
    proc.step(__LINE__, [&] { m_list->hide(); });
    int remembered = ProgramList::Report;
    proc.step(__LINE__, [&] {
        remembered = m_list->view();
        if (remembered == ProgramList::LargeIcons)
            m_list->setView(ProgramList::Report);
        else if (remembered == ProgramList::SmallIcons)
            m_list->setView(ProgramList::LargeIcons);
    });
    proc.step(__LINE__, [&] { m_list->model().removeAll(); });

    proc.step(__LINE__, [&] { m_list->setImageLists(nullptr, nullptr); });
    proc.step(__LINE__, [&] { m_imgSmall->clear(); });
    proc.step(__LINE__, [&] { m_imgLarge->clear(); });
    proc.step(__LINE__, [&] { m_imgSmall->add(m_defaultPicture.pixmap(16, 16)); });
    proc.step(__LINE__, [&] { m_imgLarge->add(m_defaultPicture.pixmap(32, 32)); });
    proc.step(__LINE__, [&] { m_list->setImageLists(m_imgLarge, m_imgSmall); });

    std::vector<ProgramRow> rows;
    proc.step(__LINE__, [&] { rows = inventory.scan(); });
    for (ProgramRow& row : rows) {
        int largeIndex = 1;
        int smallIndex = 1;
        if (row.icon)
            proc.step(__LINE__, [&] { getIcon(row.icon->path, largeIndex, smallIndex, row.icon->index); });
        proc.step(__LINE__, [&] { m_list->model().addRow(std::move(row), largeIndex, smallIndex); });
    }

    proc.step(__LINE__, [&] { m_list->setView(remembered); });
    proc.step(__LINE__, [&] { m_list->show(); });
    if (m_list->rowCount() >= 1) {
        // Before the window is first shown this only marks the list to get the focus then.
        proc.step(__LINE__, [&] {
            if (m_list->isVisibleTo(this))
                m_list->setFocus();
        });
        proc.step(__LINE__, [&] { m_list->selectPosition(0); });
        proc.step(__LINE__, [&] { lstview_Click(); });
    }
    proc.step(__LINE__, [&] { uncheckAll(); });
    proc.step(__LINE__, [&] { viewItem(remembered)->setChecked(true); });
    proc.step(__LINE__, [&] {
        m_statusPanel->setText(
            QString::number(m_list->rowCount()) + QStringLiteral(" program(s) available for uninstall"));
    });
}

void FrmMain::getIcon(const std::string& path, int& largeIndex, int& smallIndex, std::int32_t iconIndex)
{
    largeIndex = 1;
    smallIndex = 1;
    Procedure proc("getIcon", OnError::Leave);
    proc.step(__LINE__, [&] {
        const std::string file = pathMapping().resolve(path);
        if (file.empty())
            return;
        // Many entries share a program file: it is read once while it stays the same.
        const std::optional<icons::IconPair> icon = m_iconCache.extract(file, iconIndex);
        if (!icon)
            return;
        // Both images or neither, so the two lists keep the same count.
        const QPixmap large = fitIcon(decodeIconImage(icon->large), m_imgLarge->imageSize());
        const QPixmap small = fitIcon(decodeIconImage(icon->small), m_imgSmall->imageSize());
        if (large.isNull() || small.isNull())
            return;
        m_imgLarge->add(large);
        m_imgSmall->add(small);
        largeIndex = m_imgLarge->count();
        smallIndex = m_imgSmall->count();
    });
}

void FrmMain::mnu_refresh_Click()
{
    Procedure proc("mnu_refresh_Click");
    proc.step(__LINE__, [&] { showUnInstallList(); });
}

void FrmMain::Mnu_ChangeIcon_Click()
{
    Procedure proc("Mnu_ChangeIcon_Click", OnError::Skip);
    std::optional<ProgramRow> selected;
    proc.step(__LINE__, [&] { selected = m_list->selectedProgram(); });
    if (!selected)
        return;

    const PathMapping paths = pathMapping();
    const QObject* cmdlgIcon = findChild<QObject*>(QStringLiteral("cmdlgIcon"));
    const QString initDir = cmdlgIcon->property("InitDir").toString();
    QString folder;
    proc.step(__LINE__, [&] {
        folder = QString::fromStdString(paths.resolve(initDir.toStdString()));
        if (folder.isEmpty() && !m_services.context.registryFile.empty())
            folder = QFileInfo(QString::fromStdString(m_services.context.registryFile)).absolutePath();
        if (folder.isEmpty())
            folder = initDir;
    });
    QString chosen;
    proc.step(__LINE__, [&] {
        chosen = messageService().getOpenFileName(this, cmdlgIcon->property("DialogTitle").toString(), folder,
            cmdlgIcon->property("Filter").toString());
    });
    if (chosen.isEmpty())
        return;

    QString value;
    proc.step(__LINE__, [&] {
        value = registryPathOf(chosen, paths.prefix());
        if (value.right(3).toLower() != QStringLiteral("ico"))
            value += QStringLiteral(",0");
    });
    if (value.isEmpty())
        return;
    proc.step(__LINE__, [&] {
        const WriteHold hold(m_services.session.wineServer.get());
        hold.throwIfRefused();
        m_services.session.registry->SaveString(kHKeyLocalMachine,
            std::string(kUninstallPath) + selected->key, "DisplayIcon", value.toStdString());
    });
    proc.step(__LINE__, [&] { mnu_refresh_Click(); });
}

} // namespace tw
