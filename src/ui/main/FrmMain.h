// SPDX-License-Identifier: MIT
#pragma once

#include <QMainWindow>

namespace tw {

class MessageService;

// The program's one main window: the program list and every command start here.
class FrmMain : public QMainWindow
{
    Q_OBJECT

public:
    FrmMain(const QString& title, MessageService& messages, QWidget* parent = nullptr);

    MessageService& messageService() const { return m_messages; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void fixClientSize();
    void centreOnScreen();

    MessageService& m_messages;
    bool m_centred = false;
};

} // namespace tw
