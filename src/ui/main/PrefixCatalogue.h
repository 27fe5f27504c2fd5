// SPDX-License-Identifier: MIT
#pragma once

#include <QList>
#include <QString>
#include <QStringList>

class QWidget;

namespace tw {

// One prefix as File > Open Prefix lists it.
struct CataloguedPrefix
{
    QString owners; // the front-ends, joined by ", " when several use the prefix
    QString names; // what each calls it, in the same order
    QString path;
    int programs = -1; // how many the list would show; -1 when its registry cannot be read
    QString error; // then why
};

// The Wine prefixes of this machine, and opening one in place of the registry open. The application
// provides it where prefixes are found.
class PrefixCatalogue
{
public:
    virtual ~PrefixCatalogue() = default;
    // Every prefix found, its programs counted; `warnings` gets the configuration files that could not
    // be read.
    virtual QList<CataloguedPrefix> prefixes(QStringList& warnings) = 0;
    // Opens the prefix in `folder` as the registry everything works on, and remembers it for the next
    // start. False, once the user has been told why (over `parent`), when it cannot be opened.
    virtual bool open(const QString& folder, QWidget* parent) = 0;
};

} // namespace tw
