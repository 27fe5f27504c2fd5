// SPDX-License-Identifier: MIT
#include "ui/QtMessageService.h"

#include <QFileDialog>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>

namespace tw {
namespace {

QMessageBox::Icon toQt(MsgIcon icon)
{
    switch (icon) {
    case MsgIcon::Information:
        return QMessageBox::Information;
    case MsgIcon::Question:
        return QMessageBox::Question;
    case MsgIcon::Warning:
        return QMessageBox::Warning;
    case MsgIcon::Critical:
        return QMessageBox::Critical;
    case MsgIcon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButton toQt(MsgButton button)
{
    switch (button) {
    case MsgButton::Ok:
        return QMessageBox::Ok;
    case MsgButton::Yes:
        return QMessageBox::Yes;
    case MsgButton::No:
        return QMessageBox::No;
    case MsgButton::Abort:
        return QMessageBox::Abort;
    case MsgButton::Retry:
        return QMessageBox::Retry;
    case MsgButton::Ignore:
        return QMessageBox::Ignore;
    case MsgButton::Cancel:
        break;
    }
    return QMessageBox::Cancel;
}

MsgButton fromQt(QMessageBox::StandardButton button)
{
    switch (button) {
    case QMessageBox::Ok:
        return MsgButton::Ok;
    case QMessageBox::Yes:
        return MsgButton::Yes;
    case QMessageBox::No:
        return MsgButton::No;
    case QMessageBox::Abort:
        return MsgButton::Abort;
    case QMessageBox::Retry:
        return MsgButton::Retry;
    case QMessageBox::Ignore:
        return MsgButton::Ignore;
    default:
        // Also a box closed without any button, which no caller takes as a yes.
        return MsgButton::Cancel;
    }
}

// "Text File (*.txt)|*.txt" pairs become "Text File (*.txt) (*.txt)"; the dialog then hides the
// trailing pattern list, so the user sees the description exactly as written.
QStringList toNameFilters(const QString& filter, bool* classic)
{
    *classic = filter.contains(QLatin1Char('|'));
    if (!*classic)
        return filter.split(QStringLiteral(";;"), Qt::SkipEmptyParts);
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString patterns = parts.at(i + 1);
        patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        filters.append(parts.at(i) + QStringLiteral(" (") + patterns.trimmed() + QLatin1Char(')'));
    }
    return filters;
}

QString runFileDialog(QWidget* parent, const QString& title, const QString& dir, const QString& filter,
    QFileDialog::AcceptMode mode, const QString& defaultSuffix)
{
    QFileDialog dialog(parent, title, dir);
    dialog.setAcceptMode(mode);
    dialog.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    bool classic = false;
    const QStringList filters = toNameFilters(filter, &classic);
    if (!filters.isEmpty())
        dialog.setNameFilters(filters);
    dialog.setOption(QFileDialog::HideNameFilterDetails, classic);
    dialog.setDefaultSuffix(defaultSuffix);
    if (dialog.exec() != QDialog::Accepted)
        return {};
    return dialog.selectedFiles().value(0);
}

} // namespace

MsgButton QtMessageService::message(
    QWidget* parent, const QString& title, const QString& text, MsgIcon icon, const MsgButtons& buttons)
{
    QString shown = text;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    QMessageBox box(toQt(icon), title, shown, QMessageBox::NoButton, parent);
    // Descriptions come from the system and may hold '<'; never read them as markup.
    box.setTextFormat(Qt::PlainText);
    const MsgButtons offered = buttons.isEmpty() ? MsgButtons { MsgButton::Ok } : buttons;
    for (MsgButton button : offered)
        box.addButton(toQt(button));
    box.setDefaultButton(toQt(offered.first()));
    box.exec();
    return fromQt(box.standardButton(box.clickedButton()));
}

QString QtMessageService::getOpenFileName(
    QWidget* parent, const QString& title, const QString& dir, const QString& filter)
{
    return runFileDialog(parent, title, dir, filter, QFileDialog::AcceptOpen, {});
}

QString QtMessageService::getSaveFileName(QWidget* parent, const QString& title, const QString& dir,
    const QString& filter, const QString& defaultSuffix)
{
    return runFileDialog(parent, title, dir, filter, QFileDialog::AcceptSave, defaultSuffix);
}

QString QtMessageService::getExistingDirectory(QWidget* parent, const QString& title, const QString& dir)
{
    QFileDialog dialog(parent, title, dir);
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly);
    if (dialog.exec() != QDialog::Accepted)
        return {};
    return dialog.selectedFiles().value(0);
}

bool QtMessageService::printDialog(QWidget* parent, QPrinter& printer)
{
    QPrintDialog dialog(&printer, parent);
    return dialog.exec() == QDialog::Accepted;
}

} // namespace tw
