// SPDX-License-Identifier: MIT
#pragma once

#include <QDialog>

class QLabel;
class QPushButton;
class QTreeWidget;

namespace tw {

class MessageService;
class PrefixCatalogue;

// File > Open Prefix: the Wine prefixes the front-ends of this machine made (owner, its name there,
// the programs listed, the folder), and Browse for any other folder. Choosing one opens it in place of
// the registry open; the dialog closes accepted once it is open, and stays while it cannot be.
class FrmOpenPrefix : public QDialog
{
    Q_OBJECT

public:
    // `current` is the prefix open now, chosen at first.
    FrmOpenPrefix(PrefixCatalogue& catalogue, MessageService& messages, const QString& current,
        QWidget* parent = nullptr);

    void CmdOpen_Click();
    void CmdBrowse_Click();

private:
    void fill(const QString& current);
    void openFolder(const QString& folder);

    PrefixCatalogue& m_catalogue;
    MessageService& m_messages;
    QTreeWidget* m_list = nullptr;
    QLabel* m_none = nullptr;
    QLabel* m_warnings = nullptr;
    QPushButton* m_open = nullptr;
    QString m_current;
};

} // namespace tw
