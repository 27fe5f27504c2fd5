// SPDX-License-Identifier: MIT
#pragma once

#include <QWidget>

class QLabel;
class QLineEdit;

namespace tw {

// The blue panel `picSideMenu` at the left of the main window: the search box in `fmFind`, and in
// `fmSideMenu` the sign `imgRight` beside the selection sentence `lblExclaim`. The buttons that lie
// over it belong to the window.
class SidePanel : public QWidget
{
    Q_OBJECT

public:
    explicit SidePanel(QWidget* parent = nullptr);

    QLineEdit* findText() const { return m_find; }
    QLabel* exclaim() const { return m_exclaim; }

private:
    QLineEdit* m_find;
    QLabel* m_exclaim;
};

} // namespace tw
