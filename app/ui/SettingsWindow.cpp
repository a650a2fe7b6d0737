#include "app/ui/SettingsWindow.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QScreen>
#include <QSignalBlocker>
#include <QSlider>
#include <QTabWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <array>
#include <cmath>

#include "app/core/ClockFace.h"
#include "app/core/Keys.h"
#include "app/ui/DesktopWindow.h"

namespace app {

namespace {

constexpr int WINDOW_WIDTH = 480;

struct Choice {
    const char* label;
    const char* stored;
};

// Font labels are shown as written; the stored names are the ones the clock knows.
constexpr std::array<Choice, 10> FONTS{{
    {"Abril Fatface", "Abril Fatface"},
    {"Baloo", "Baloo"},
    {"Black Ops One", "Black Ops One"},
    {"Carbon", "CarbonType"},
    {"Limelight", "Limelight"},
    {"Major Snafu", "Major Snafu"},
    {"Nyamomobile", "Nyamomobile"},
    {"Oswald", "Oswald"},
    {"Virgo", "Virgo 01"},
    {"Yukarimobile", "Yukarimobile"},
}};

constexpr std::array<Choice, 4> FORMATS{{
    {QT_TRANSLATE_NOOP("app::SettingsWindow", "12 hours short (9:27)"), "h:mm"},
    {QT_TRANSLATE_NOOP("app::SettingsWindow", "12 hours long (09:27)"), "hh:mm"},
    {QT_TRANSLATE_NOOP("app::SettingsWindow", "24 hours short (6:27)"), "H:mm"},
    {QT_TRANSLATE_NOOP("app::SettingsWindow", "24 hours long (21:27)"), "HH:mm"},
}};

constexpr std::array<int, 3> RATES{20, 30, 60};

// A monitor as people know it: its make and model where the monitor tells them, otherwise
// the port it is on.
QString screenLabel(const QScreen& screen) {
    const QString product =
        QStringLiteral("%1 %2").arg(screen.manufacturer(), screen.model()).simplified();
    if (!product.isEmpty() && !screen.name().isEmpty()) {
        return QStringLiteral("%1 (%2)").arg(product, screen.name());
    }
    if (!product.isEmpty()) {
        return product;
    }
    if (!screen.name().isEmpty()) {
        return screen.name();
    }
    return SettingsWindow::tr("<Unknown name>");
}

// Selects the entry whose data is `value`; a value no entry has (written from outside) gets
// an entry of its own, shown as written, so that the control never lies about the setting.
void selectData(QComboBox* box, const QVariant& value, const QString& label) {
    int index = box->findData(value);
    if (index < 0) {
        box->addItem(label, value);
        index = box->count() - 1;
    }
    box->setCurrentIndex(index);
}

QSlider* makeSlider(int minimum, int maximum) {
    auto* slider = new QSlider(Qt::Horizontal);
    slider->setRange(minimum, maximum);
    return slider;
}

QWidget* withValue(QSlider* slider, QLabel* value) {
    auto* row = new QWidget;
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(slider, 1);
    value->setMinimumWidth(value->fontMetrics().horizontalAdvance(QStringLiteral("0.00")) + 4);
    value->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    layout->addWidget(value);
    return row;
}

QIcon tabIcon(const char* themeName, const char* shipped) {
    return QIcon::fromTheme(QString::fromLatin1(themeName),
                            QIcon(QStringLiteral(":/kadrel/icons/%1").arg(QLatin1String(shipped))));
}

} // namespace

SettingsWindow::SettingsWindow(Defaults& defaults, Autostart autostart, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                          Qt::CustomizeWindowHint),
      defaults_(defaults), autostart_(std::move(autostart)) {
    setWindowTitle(tr("Kadrel Settings"));
    setWindowIcon(QIcon(QStringLiteral(":/kadrel/icons/kadrel.svg")));
    tabs_ = new QTabWidget(this);
    tabs_->addTab(makeGeneralTab(), tabIcon("preferences-system", "settings-general.svg"),
                  tr("General"));
    tabs_->addTab(makeSceneTab(), tabIcon("preferences-desktop-wallpaper", "settings-scene.svg"),
                  tr("Scene"));
    tabs_->addTab(makeClockTab(), tabIcon("preferences-system-time", "settings-clock.svg"),
                  tr("Clock"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tabs_);
    connect(tabs_, &QTabWidget::currentChanged, this, &SettingsWindow::fitToCurrentTab);
    // A window of fixed size: nothing in it grows.
    connect(qGuiApp, &QGuiApplication::screenAdded, this, &SettingsWindow::refreshDisplays);
    connect(qGuiApp, &QGuiApplication::screenRemoved, this, &SettingsWindow::refreshDisplays);
    connect(qGuiApp, &QGuiApplication::primaryScreenChanged, this,
            &SettingsWindow::refreshDisplays);
    fitToCurrentTab();
}

SettingsWindow::~SettingsWindow() = default;

void SettingsWindow::present() {
    if (!shownOnce_) {
        tabs_->setCurrentIndex(0);
    }
    show();
    raise();
    activateWindow();
}

void SettingsWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    shownOnce_ = true;
    // The entry may have been removed by hand, or by the desktop's own startup settings.
    const QSignalBlocker blocker(launchAtLogin_);
    launchAtLogin_->setChecked(autostart_.isEnabled());
    refreshDisplays();
    // Showing the picker settles the choice: from now on the wallpaper stays on this monitor
    // even when another becomes the primary one.
    if (!defaults_.value(keys::display) && QGuiApplication::primaryScreen() != nullptr) {
        defaults_.setValue(keys::display, Display{displayIdOf(*QGuiApplication::primaryScreen())});
    }
}

void SettingsWindow::fitToCurrentTab() {
    // As tall as the shown tab. The tab widget sizes itself for its tallest page; take the
    // difference to the shown one off.
    int tallest = 0;
    for (int i = 0; i < tabs_->count(); ++i) {
        tallest = std::max(tallest, tabs_->widget(i)->sizeHint().height());
    }
    const int shown = tabs_->currentWidget()->sizeHint().height();
    layout()->activate();
    setFixedSize(WINDOW_WIDTH, layout()->sizeHint().height() - (tallest - shown));
}

void SettingsWindow::bind(QCheckBox* box, const Key<bool>& key) {
    subscriptions_.push_back(
        defaults_.observe<bool>(key, Defaults::Delivery::AtOnceAndOnChange, [box](const bool& on) {
            const QSignalBlocker blocker(box);
            box->setChecked(on);
        }));
    connect(box, &QCheckBox::toggled, this, [this, key](bool on) { defaults_.setValue(key, on); });
}

void SettingsWindow::bindChoice(QComboBox* box, const Key<QString>& key) {
    subscriptions_.push_back(defaults_.observe<QString>(key, Defaults::Delivery::AtOnceAndOnChange,
                                                        [box](const QString& stored) {
                                                            const QSignalBlocker blocker(box);
                                                            selectData(box, stored, stored);
                                                        }));
    connect(box, &QComboBox::activated, this, [this, box, key](int index) {
        defaults_.setValue(key, box->itemData(index).toString());
    });
}

QWidget* SettingsWindow::makeGeneralTab() {
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);

    auto* login = new QGroupBox;
    auto* loginForm = new QFormLayout(login);
    launchAtLogin_ = new QCheckBox(tr("Launch at login"));
    loginForm->addRow(launchAtLogin_);
    connect(launchAtLogin_, &QCheckBox::toggled, this, [this](bool on) {
        autostart_.setEnabled(on);
        const QSignalBlocker blocker(launchAtLogin_);
        launchAtLogin_->setChecked(autostart_.isEnabled()); // what the desktop will do
    });
    layout->addWidget(login);

    auto* rate = new QGroupBox(tr("Frame rate"));
    auto* rateForm = new QFormLayout(rate);
    fps_ = new QComboBox;
    for (const int fps : RATES) {
        fps_->addItem(QString::number(fps), static_cast<qlonglong>(fps));
    }
    rateForm->addRow(tr("Frames per second"), fps_);
    subscriptions_.push_back(defaults_.observe<std::int64_t>(
        keys::fps, Defaults::Delivery::AtOnceAndOnChange, [this](const std::int64_t& fps) {
            const QSignalBlocker blocker(fps_);
            selectData(fps_, static_cast<qlonglong>(fps), QString::number(fps));
        }));
    connect(fps_, &QComboBox::activated, this, [this](int index) {
        defaults_.setValue(keys::fps, fps_->itemData(index).toLongLong());
    });
    batteryMode_ = new QCheckBox(tr("Limit FPS on battery"));
    bind(batteryMode_, keys::batteryMode);
    rateForm->addRow(batteryMode_);
    lowPowerMode_ = new QCheckBox(tr("Minimal FPS in Low Power mode"));
    bind(lowPowerMode_, keys::lowPowerMode);
    rateForm->addRow(lowPowerMode_);
    layout->addWidget(rate);

    auto* screen = new QGroupBox(tr("Display"));
    auto* screenForm = new QFormLayout(screen);
    display_ = new QComboBox;
    screenForm->addRow(tr("Show on"), display_);
    subscriptions_.push_back(defaults_.observe<std::optional<Display>>(
        keys::display, Defaults::Delivery::ChangesOnly,
        [this](const std::optional<Display>&) { selectDisplay(); }));
    connect(display_, &QComboBox::activated, this, [this](int index) {
        if (const auto display = Display::fromString(display_->itemData(index).toString())) {
            defaults_.setValue(keys::display, display);
        }
    });
    showOnAllSpaces_ = new QCheckBox(tr("Show on all spaces"));
    showOnAllSpaces_->setToolTip(tr("Show the wallpaper on every workspace"));
    bind(showOnAllSpaces_, keys::showOnAllSpaces);
    screenForm->addRow(showOnAllSpaces_);
    pauseWhenCovered_ = new QCheckBox(tr("Pause when covered"));
    pauseWhenCovered_->setToolTip(
        tr("Stop drawing while full-screen or maximised windows hide the wallpaper"));
    bind(pauseWhenCovered_, keys::pauseWhenCovered);
    screenForm->addRow(pauseWhenCovered_);
    layout->addWidget(screen);

    auto* icon = new QGroupBox;
    auto* iconForm = new QFormLayout(icon);
    hideMenuBarIcon_ = new QCheckBox(tr("Hide menu bar icon"));
    bind(hideMenuBarIcon_, keys::hideMenuBarIcon);
    connect(hideMenuBarIcon_, &QCheckBox::toggled, this, [this](bool on) {
        if (on) {
            showHideIconAlert();
        }
    });
    iconForm->addRow(hideMenuBarIcon_);
    layout->addWidget(icon);
    layout->addStretch();
    return page;
}

QWidget* SettingsWindow::makeSceneTab() {
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    auto* group = new QGroupBox;
    auto* form = new QFormLayout(group);
    vignette_ = new QCheckBox(tr("Vignette"));
    vignette_->setToolTip(tr("Photographic vignette in the corners of scene"));
    bind(vignette_, keys::sceneVignette);
    form->addRow(vignette_);

    speed_ = makeSlider(0, SPEED_STEPS);
    speed_->setTickPosition(QSlider::TicksBelow);
    speed_->setPageStep(1);
    speed_->setToolTip(tr("Camera movement - larger value is slower"));
    speedValue_ = new QLabel;
    auto* label = new QLabel(tr("Movement Speed"));
    label->setToolTip(speed_->toolTip());
    form->addRow(label, withValue(speed_, speedValue_));
    subscriptions_.push_back(defaults_.observe<float>(
        keys::sceneSpeed, Defaults::Delivery::AtOnceAndOnChange, [this](const float& speed) {
            const QSignalBlocker blocker(speed_);
            speed_->setValue(static_cast<int>(std::lround((speed - SPEED_MIN) / SPEED_STEP)));
            speedValue_->setText(QString::number(static_cast<double>(speed), 'g', 3));
        }));
    connect(speed_, &QSlider::valueChanged, this, [this](int step) {
        defaults_.setValue(keys::sceneSpeed, SPEED_MIN + SPEED_STEP * static_cast<float>(step));
    });
    layout->addWidget(group);
    layout->addStretch();
    return page;
}

QWidget* SettingsWindow::makeClockTab() {
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    auto* group = new QGroupBox;
    auto* form = new QFormLayout(group);
    clockEnabled_ = new QCheckBox(tr("Enable clock"));
    bind(clockEnabled_, keys::clockEnabled);
    form->addRow(clockEnabled_);

    clockFont_ = new QComboBox;
    for (const Choice& font : FONTS) {
        const QString stored = QString::fromLatin1(font.stored);
        clockFont_->addItem(QString::fromLatin1(font.label), stored);
        // Each name in its own face, at the list's size.
        QFont face(clockFaceFor(stored).family);
        face.setPointSizeF(clockFont_->font().pointSizeF() * 1.15);
        clockFont_->setItemData(clockFont_->count() - 1, face, Qt::FontRole);
    }
    bindChoice(clockFont_, keys::clockFont);
    form->addRow(tr("Font"), clockFont_);

    clockFormat_ = new QComboBox;
    for (const Choice& format : FORMATS) {
        clockFormat_->addItem(tr(format.label), QString::fromLatin1(format.stored));
    }
    bindChoice(clockFormat_, keys::clockFormat);
    form->addRow(tr("Time format"), clockFormat_);

    clockOpacity_ = makeSlider(10, 100);
    opacityValue_ = new QLabel;
    form->addRow(tr("Opacity"), withValue(clockOpacity_, opacityValue_));
    subscriptions_.push_back(defaults_.observe<double>(
        keys::clockOpacity, Defaults::Delivery::AtOnceAndOnChange, [this](const double& opacity) {
            const QSignalBlocker blocker(clockOpacity_);
            clockOpacity_->setValue(static_cast<int>(std::lround(opacity * 100.0)));
            opacityValue_->setText(QString::number(opacity, 'f', 2));
        }));
    connect(clockOpacity_, &QSlider::valueChanged, this,
            [this](int percent) { defaults_.setValue(keys::clockOpacity, percent / 100.0); });

    clockSize_ = makeSlider(150, 350);
    sizeValue_ = new QLabel;
    form->addRow(tr("Size"), withValue(clockSize_, sizeValue_));
    subscriptions_.push_back(defaults_.observe<float>(
        keys::clockSize, Defaults::Delivery::AtOnceAndOnChange, [this](const float& size) {
            const QSignalBlocker blocker(clockSize_);
            clockSize_->setValue(static_cast<int>(std::lround(size)));
            sizeValue_->setText(QString::number(static_cast<double>(size), 'f', 0));
        }));
    connect(clockSize_, &QSlider::valueChanged, this,
            [this](int size) { defaults_.setValue(keys::clockSize, static_cast<float>(size)); });
    layout->addWidget(group);
    layout->addStretch();
    return page;
}

void SettingsWindow::refreshDisplays() {
    const QSignalBlocker blocker(display_);
    display_->clear();
    for (QScreen* screen : QGuiApplication::screens()) {
        display_->addItem(screenLabel(*screen), Display{displayIdOf(*screen)}.toString());
    }
    selectDisplay();
}

void SettingsWindow::selectDisplay() {
    const QSignalBlocker blocker(display_);
    const std::optional<Display> stored = defaults_.value(keys::display);
    if (!stored) {
        display_->setCurrentIndex(display_->findData(
            QGuiApplication::primaryScreen() != nullptr
                ? Display{displayIdOf(*QGuiApplication::primaryScreen())}.toString()
                : QString()));
        return;
    }
    selectData(display_, stored->toString(), tr("A monitor not connected now"));
}

void SettingsWindow::showHideIconAlert() {
    if (hideIconAlert_ == nullptr) {
        hideIconAlert_ = new QMessageBox(
            QMessageBox::Information, tr("Hide menu bar icon"),
            tr("If you need to access the app menu, launch the app again to reveal the menu bar "
               "icon for 5 seconds."),
            QMessageBox::Ok, this);
    }
    hideIconAlert_->open();
    Q_EMIT hideIconAlertShown();
}

} // namespace app
