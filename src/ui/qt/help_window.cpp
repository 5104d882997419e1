#include "ui/qt/help_window.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QTextBrowser>
#include <QVBoxLayout>
#include <algorithm>

#include "resources/help_pages.h"
#include "resources/shell_strings.h"
#include "resources/strings.h"

namespace ui::qt {

namespace {

QString q(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }
QString q(int id) { return q(res::text(id)); }

}  // namespace

void add_f1_help(QWidget* window, int context, const Help& help) {
    auto* f1 = new QShortcut(QKeySequence(Qt::Key_F1), window);
    QObject::connect(f1, &QShortcut::activated, window, [help, context] {
        if (help) help(context);
    });
}

QString help_folder() {
    const QString base = QCoreApplication::applicationDirPath();
    for (const QString& folder : {base + QStringLiteral("/help"), base + QStringLiteral("/../share/tq740-sw/help")}) {
        if (QFileInfo::exists(folder + QLatin1Char('/') + q(res::HELP_CONTENTS_FILE))) return QDir::cleanPath(folder);
    }
    return {};
}

Help_window::Help_window(QWidget* home) : QWidget(home, Qt::Window), home_(home) {
    setObjectName(QStringLiteral("help_window"));
    setWindowTitle(q(res::IDS_HELP_TITLE));
    auto* layout = new QVBoxLayout(this);
    auto* buttons = new QHBoxLayout;
    back_ = tool_button(res::IDS_HELP_BACK, "back");
    forward_ = tool_button(res::IDS_HELP_FORWARD, "forward");
    QPushButton* contents = tool_button(res::IDS_HELP_CONTENTS, "contents");
    buttons->addWidget(back_);
    buttons->addWidget(forward_);
    buttons->addWidget(contents);
    buttons->addStretch();
    layout->addLayout(buttons);
    browser_ = new QTextBrowser(this);
    browser_->setObjectName(QStringLiteral("help_page"));
    layout->addWidget(browser_);

    back_->setEnabled(false);
    forward_->setEnabled(false);
    connect(back_, &QPushButton::clicked, browser_, &QTextBrowser::backward);
    connect(forward_, &QPushButton::clicked, browser_, &QTextBrowser::forward);
    connect(browser_, &QTextBrowser::backwardAvailable, back_, &QPushButton::setEnabled);
    connect(browser_, &QTextBrowser::forwardAvailable, forward_, &QPushButton::setEnabled);
    connect(contents, &QPushButton::clicked, this, [this] { open_file(q(res::HELP_CONTENTS_FILE)); });
    // The title names the page shown, as the page's own <title> has it.
    connect(browser_, &QTextBrowser::sourceChanged, this, [this] {
        const QString page = browser_->documentTitle();
        setWindowTitle(page.isEmpty() ? q(res::IDS_HELP_TITLE) : q(res::IDS_HELP_TITLE) + QStringLiteral(" - ") + page);
    });
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape, &QShortcut::activated, this, &QWidget::close);
}

QPushButton* Help_window::tool_button(int text, const char* name) {
    auto* button = new QPushButton(q(text), this);
    button->setObjectName(QLatin1String(name));
    button->setAutoDefault(false);
    button->setFocusPolicy(Qt::TabFocus);  // a click leaves the keyboard in the page
    return button;
}

bool Help_window::show_context(int context) {
    folder_ = help_folder();
    if (folder_.isEmpty()) return false;
    belong_to(QApplication::activeModalWidget());
    open_file(q(res::help_page_file(context)));
    if (!placed_) {
        // About 90 characters by 40 lines, within three quarters of the
        // screen and wholly on it.
        const QFontMetrics metrics = fontMetrics();
        const QRect screen_area = screen()->availableGeometry();
        resize(std::min(metrics.averageCharWidth() * 90, screen_area.width() * 3 / 4),
               std::min(metrics.height() * 40, screen_area.height() * 3 / 4));
        move(screen_area.right() - width() - screen_area.width() / 20, screen_area.top() + screen_area.height() / 20);
        placed_ = true;
    }
    // A minimised help window comes back in the state it had (normal or
    // maximised); showing and raising alone would leave it minimised.
    if (isMinimized()) setWindowState(windowState() & ~Qt::WindowMinimized);
    show();
    raise();
    activateWindow();
    return true;
}

void Help_window::open_file(const QString& file) {
    QString path = folder_ + QLatin1Char('/') + file;
    if (!QFileInfo::exists(path)) path = folder_ + QLatin1Char('/') + q(res::HELP_CONTENTS_FILE);
    browser_->setSource(QUrl::fromLocalFile(path));
}

// A modal dialog blocks input to every window that is not its own.  So that
// the help opened from a dialog can be scrolled and followed, the help window
// belongs to the modal dialog in front while that is up, and goes back to
// the main window when the dialog closes.
void Help_window::belong_to(QWidget* owner) {
    if (!owner || owner == this) owner = home_;
    QWidget* previous = parentWidget();
    if (previous == owner) return;
    if (previous && previous != home_) previous->removeEventFilter(this);
    const bool open = isVisible();
    const QRect place = geometry();
    setParent(owner, Qt::Window);  // hides the window; it stays a window of its own
    if (owner != home_) owner->installEventFilter(this);
    if (placed_) setGeometry(place);
    if (open) show();
}

bool Help_window::eventFilter(QObject* watched, QEvent* event) {
    if (watched == parentWidget() && watched != home_ && event->type() == QEvent::Hide) {
        QWidget* next = QApplication::activeModalWidget();
        belong_to(next == watched ? nullptr : next);
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace ui::qt
