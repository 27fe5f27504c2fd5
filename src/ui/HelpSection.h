// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <QUrl>
#include <QWidget>

namespace tw {

// F1 in a window opens the help page at the window's own section: each dialog names it here, and the
// main window, which sees every key first, reads it from the window the key was pressed in.
inline void setHelpSection(QWidget* window, const char* section)
{
    window->setProperty("helpSection", QString::fromLatin1(section));
}

// The section of `widget`'s window, or of the nearest window that opened it (a message box over a
// dialog); empty for the main window, whose help is the page's top.
inline QString helpSectionOf(const QWidget* widget)
{
    for (const QWidget* w = widget ? widget->window() : nullptr; w;
         w = w->parentWidget() ? w->parentWidget()->window() : nullptr) {
        const QString section = w->property("helpSection").toString();
        if (!section.isEmpty())
            return section;
    }
    return {};
}

// The page to open for `section`: an HTML page at that section; a compiled help file as it is, since it
// has its own contents.
inline QUrl helpUrl(const QString& file, const QString& section)
{
    QUrl url = QUrl::fromLocalFile(file);
    if (!section.isEmpty() && file.endsWith(QStringLiteral(".html"), Qt::CaseInsensitive))
        url.setFragment(section);
    return url;
}

} // namespace tw
