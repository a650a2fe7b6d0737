#include "app/ui/AboutWindow.h"

#include <QApplication>
#include <QIcon>
#include <QLabel>
#include <QVBoxLayout>

namespace app {

namespace {

constexpr int WINDOW_WIDTH = 340;
constexpr int ICON_SIZE = 90;

QString link(const char* url, const QString& text) {
    return QStringLiteral("<a href=\"%1\">%2</a>").arg(QLatin1String(url), text.toHtmlEscaped());
}

} // namespace

QString versionLine(const QString& version, const QString& build) {
    const QStringList parts = version.split(u'.');
    const QString shortVersion =
        version.isEmpty() ? AboutWindow::tr("Unknown") : parts.mid(0, 2).join(u'.');
    return AboutWindow::tr("Version %1 (%2)")
        .arg(shortVersion, build.isEmpty() ? AboutWindow::tr("Unknown") : build);
}

AboutWindow::AboutWindow(const QString& version, const QString& build, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                          Qt::CustomizeWindowHint) {
    setWindowTitle(tr("About Kadrel"));
    setWindowIcon(QIcon(QStringLiteral(":/kadrel/icons/kadrel.svg")));
    auto* layout = new QVBoxLayout(this);
    layout->setAlignment(Qt::AlignHCenter);

    auto* icon = new QLabel;
    icon->setPixmap(QIcon(QStringLiteral(":/kadrel/icons/kadrel.svg"))
                        .pixmap(QSize(ICON_SIZE, ICON_SIZE), devicePixelRatioF()));
    icon->setAlignment(Qt::AlignCenter);
    layout->addWidget(icon);

    auto* name = new QLabel(QStringLiteral("Kadrel"));
    QFont headline = name->font();
    headline.setPointSizeF(headline.pointSizeF() * 1.4);
    headline.setBold(true);
    name->setFont(headline);
    name->setAlignment(Qt::AlignCenter);
    layout->addWidget(name);

    version_ = new QLabel(versionLine(version, build));
    version_->setAlignment(Qt::AlignCenter);
    version_->setForegroundRole(QPalette::PlaceholderText); // the secondary colour
    version_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(version_);

    // Honest credits: what the program runs on, where its rooms come from, and its faces.
    const QString credits =
        QStringLiteral("<p>") +
        tr("Built with %1, used according to the <b>%2</b>.")
            .arg(link("https://www.qt.io", QStringLiteral("Qt 6")), tr("GNU LGPL version 3")) +
        QStringLiteral("</p><p>") +
        tr("Also built on %1 (<b>Unicode licence</b>), %2 (<b>MIT licence</b>), %3 (<b>Apache "
           "licence 2.0</b>), %4 (<b>BSD licence</b>), %5 (<b>libpng licence</b>) and %6 "
           "(<b>MIT licence</b>).")
            .arg(link("https://icu.unicode.org", QStringLiteral("ICU")),
                 link("https://github.com/anholt/libepoxy", QStringLiteral("libepoxy")),
                 link("https://github.com/ARM-software/astc-encoder",
                      QStringLiteral("astc-encoder")),
                 link("https://chromium.googlesource.com/webm/libwebp", QStringLiteral("libwebp")),
                 link("http://www.libpng.org/pub/png/libpng.html", QStringLiteral("libpng")),
                 link("https://xcb.freedesktop.org", QStringLiteral("XCB"))) +
        QStringLiteral("</p><p>") +
        tr("The two concrete rooms are Kadrel's own: modelled and lit by its bake tool, with "
           "%1 (<b>Apache licence 2.0</b>) and %2 (<b>MIT licence</b>).")
            .arg(link("https://www.embree.org", QStringLiteral("Embree")),
                 link("https://github.com/zeux/meshoptimizer", QStringLiteral("meshoptimizer"))) +
        QStringLiteral("</p><p>") +
        tr("Fonts are from the %1: <i>Abril Fatface</i>, <i>Baloo 2</i>, <i>Black Ops One</i>, "
           "<i>Limelight</i> and <i>Oswald</i>, used according to the <b>SIL Open Font "
           "License</b>.")
            .arg(link("https://fontsource.org", QStringLiteral("Fontsource project"))) +
        QStringLiteral("</p>");
    credits_ = new QLabel(credits);
    credits_->setWordWrap(true);
    credits_->setAlignment(Qt::AlignCenter);
    credits_->setOpenExternalLinks(true);
    credits_->setTextFormat(Qt::RichText);
    layout->addWidget(credits_);

    setFixedWidth(WINDOW_WIDTH);
    setFixedHeight(sizeHint().height());
}

void AboutWindow::present() {
    show();
    raise();
    activateWindow();
}

} // namespace app
