#include "ui/qt/window_rules.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QEvent>
#include <QLayout>
#include <QMainWindow>
#include <QMessageBox>
#include <QScreen>
#include <QScrollArea>
#include <QTimer>
#include <QVBoxLayout>
#include <QWindow>

#include "shell/layout.h"
#include "ui/dialog_rules.h"

namespace ui::qt {

namespace {

// Each button of the row gets a keyboard letter no other button of the row has.
void mark_buttons(QDialogButtonBox* box) {
    const QList<QAbstractButton*> buttons = box->buttons();
    std::vector<std::string> captions;
    for (const QAbstractButton* button : buttons) captions.push_back(button->text().toStdString());
    const std::vector<std::string> marked = with_mnemonics(captions);
    for (qsizetype i = 0; i < buttons.size(); ++i)
        if (marked[static_cast<std::size_t>(i)] != captions[static_cast<std::size_t>(i)])
            buttons[i]->setText(QString::fromStdString(marked[static_cast<std::size_t>(i)]));
}

// The frame the window manager puts around the window: the window's own once
// it has been shown, else that of another window of the program (a window
// about to be shown for the first time has no frame yet).
QMargins frame_of(QWidget* window) {
    if (window->windowHandle() && !window->windowHandle()->frameMargins().isNull())
        return window->windowHandle()->frameMargins();
    for (QWidget* other : QApplication::topLevelWidgets())
        if (other != window && other->isVisible() && other->windowHandle() &&
            !other->windowHandle()->frameMargins().isNull())
            return other->windowHandle()->frameMargins();
    return {};
}

// Puts the window's content in a scrolling area, with the window's button
// row (if its layout ends in one) kept below the area, always in sight.
void add_scrolling(QWidget* window) {
    QLayout* layout = window->layout();
    if (!layout) return;
    QDialogButtonBox* buttons = nullptr;
    if (layout->count() > 0) buttons = qobject_cast<QDialogButtonBox*>(layout->itemAt(layout->count() - 1)->widget());
    if (buttons) layout->removeWidget(buttons);
    auto* content = new QWidget;
    content->setLayout(layout);  // takes the layout and the widgets it places from the window
    auto* scroll = new QScrollArea(window);
    scroll->setObjectName(QStringLiteral("window_scroll"));
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidget(content);
    auto* outer = new QVBoxLayout(window);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(scroll);
    if (buttons) {
        const QMargins margins = layout->contentsMargins();
        auto* row = new QVBoxLayout;
        row->setContentsMargins(margins.left(), 0, margins.right(), margins.bottom());
        row->addWidget(buttons);
        outer->addLayout(row);
    }
}

void place(QWidget* window, bool centre);

void fit_into_screen(QWidget* window) {
    QScreen* screen = window->screen();
    if (!screen) return;
    const QRect area = screen->availableGeometry();
    const QMargins frame = frame_of(window);
    const QSize room = area.size().shrunkBy(frame);
    // A message box wraps its own text and sizes itself to the screen as it
    // is shown (after this rule): it is never given a scrolling area.
    const bool sizes_itself = qobject_cast<QMainWindow*>(window) || qobject_cast<QMessageBox*>(window);
    if (!sizes_itself && window->layout() && !window->findChild<QScrollArea*>(QStringLiteral("window_scroll")) &&
        (window->minimumSizeHint().height() > room.height() || window->minimumSizeHint().width() > room.width()))
        add_scrolling(window);
    window->setMinimumSize(window->minimumSize().boundedTo(room));
    const QSize size = window->size().boundedTo(room);
    if (size != window->size()) window->resize(size);

    place(window, !window->testAttribute(Qt::WA_Moved));
}

// A dialog to be centred goes over the middle of its owner (else of the
// screen); then any window is moved just inside the screen's area.
void place(QWidget* window, bool centre) {
    QScreen* screen = window->screen();
    if (!screen) return;
    const QRect area = screen->availableGeometry();
    QRect outer = window->geometry().marginsAdded(frame_of(window));
    auto* dialog = qobject_cast<QDialog*>(window);
    if (dialog && centre) {
        QWidget* owner = dialog->parentWidget() ? dialog->parentWidget()->window() : nullptr;
        outer.moveCenter(owner && owner->isVisible() ? owner->frameGeometry().center() : area.center());
    }
    const shell::Rect fitted = shell::fit_to_screen({outer.x(), outer.y(), outer.width(), outer.height()},
                                                    {area.x(), area.y(), area.width(), area.height()}, 0, 0);
    if (fitted.x != window->x() || fitted.y != window->y()) window->move(fitted.x, fitted.y);
}

class Window_rules_filter : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show && !event->spontaneous() && watched->isWidgetType()) {
            auto* widget = static_cast<QWidget*>(watched);
            if (widget->isWindow() && (widget->windowType() == Qt::Window || widget->windowType() == Qt::Dialog)) {
                // A message box takes its size only as it is shown: it is
                // placed again once it has it.
                const bool centre = !widget->testAttribute(Qt::WA_Moved);
                apply_window_rules(widget);
                if (qobject_cast<QMessageBox*>(widget))
                    QTimer::singleShot(0, widget, [widget, centre] { place(widget, centre); });
            }
        }
        return false;
    }
};

}  // namespace

void apply_window_rules(QWidget* window) {
    for (QDialogButtonBox* box : window->findChildren<QDialogButtonBox*>()) mark_buttons(box);
    fit_into_screen(window);
}

void install_window_rules() {
    static Window_rules_filter* filter = nullptr;
    if (filter || !qApp) return;
    filter = new Window_rules_filter(qApp);
    qApp->installEventFilter(filter);
}

}  // namespace ui::qt
