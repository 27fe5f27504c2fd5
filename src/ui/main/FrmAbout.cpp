// SPDX-License-Identifier: MIT
#include "ui/main/FrmAbout.h"

#include "base/AppContext.h"
#include "ui/DesktopService.h"
#include "ui/Twips.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace tw {

FrmAbout::FrmAbout(const AppContext& context, DesktopService* desktop, QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("FrmAbout"));
    const QString product = QString::fromStdString(context.productName);
    setWindowTitle(QStringLiteral("About ") + product);
    if (parent)
        setWindowIcon(parent->windowIcon());
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);

    auto* picture = new QLabel(this);
    picture->setObjectName(QStringLiteral("imgLogo"));
    picture->setPixmap(windowIcon().pixmap(48, 48));
    picture->setAlignment(Qt::AlignTop | Qt::AlignHCenter);

    auto* name = new QLabel(product, this);
    name->setObjectName(QStringLiteral("lblProduct"));
    QFont big = name->font();
    big.setPointSizeF(big.pointSizeF() * 1.6);
    big.setBold(true);
    name->setFont(big);

    auto* version = new QLabel(QStringLiteral("Version %1.%2.%3")
                                   .arg(context.versionMajor)
                                   .arg(context.versionMinor)
                                   .arg(context.versionRevision),
        this);
    version->setObjectName(QStringLiteral("lblVersion"));

    auto* description = new QLabel(QStringLiteral("Lists the programs installed on your computer, "
                                                  "removes the ones you no longer need and keeps a "
                                                  "log of what was removed."),
        this);
    description->setObjectName(QStringLiteral("lblDescription"));
    description->setWordWrap(true);

    // The home page this build was given; none, no link to nowhere.
    const QString home = QStringLiteral(TIDEWELL_HOMEPAGE);
    auto* link = new QLabel(
        QStringLiteral("<a href=\"%1\">%2</a>").arg(home, home.section(QStringLiteral("://"), -1)), this);
    link->setVisible(!home.isEmpty());
    link->setObjectName(QStringLiteral("lblLink"));
    connect(link, &QLabel::linkActivated, this, [desktop](const QString& url) {
        if (desktop)
            desktop->openUrl(QUrl(url));
    });
    link->setTextInteractionFlags(Qt::TextBrowserInteraction);

    auto* text = new QVBoxLayout;
    text->setSpacing(6);
    text->addWidget(name);
    text->addWidget(version);
    text->addSpacing(6);
    text->addWidget(description);
    text->addWidget(link);

    auto* body = new QHBoxLayout;
    body->setSpacing(16);
    body->addWidget(picture);
    body->addLayout(text, 1);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("CmdOk"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(18, 18, 18, 12);
    layout->addLayout(body);
    layout->addSpacing(8);
    layout->addWidget(buttons);
    setFixedWidth(twipsToPixelsX(5400, this));
    setFixedHeight(sizeHint().height());
}

} // namespace tw
