#include "ui/qt/main_window.h"

#include <QAbstractListModel>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDatabase>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QWindow>

#include "resources/help_pages.h"
#include "resources/main_menu.h"
#include "resources/shell_strings.h"
#include "resources/strings.h"
#include "ui/qt/dialogs.h"
#include "ui/qt/tag_dialog.h"
#include "ui/qt/group_dialogs.h"
#include "ui/qt/help_window.h"
#include "ui/qt/adapters_dialog.h"
#include "ui/qt/print_dialogs.h"
#include "ui/qt/window_rules.h"
#include "ui/dialog_rules.h"

namespace ui::qt {

namespace {

QString q(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<int>(text.size())); }
QString q(int id) { return q(res::text(id)); }

// The list font: "Courier New" when installed, else the system's fixed font.
QFont list_font() {
    if (QFontDatabase::families().contains(QStringLiteral("Courier New"))) {
        QFont font(QStringLiteral("Courier New"));
        font.setStyleHint(QFont::TypeWriter);
        font.setFixedPitch(true);
        return font;
    }
    return QFontDatabase::systemFont(QFontDatabase::FixedFont);
}

int caption_id(Caption caption) {
    switch (caption) {
    case Caption::error: return res::IDS_CAPTION_ERROR;
    case Caption::confirmation: return res::IDS_CAPTION_CONFIRMATION;
    case Caption::information: return res::IDS_CAPTION_INFORMATION;
    case Caption::warning: return res::IDS_CAPTION_WARNING;
    case Caption::fatal_error: return res::IDS_CAPTION_FATAL_ERROR;
    }
    return res::IDS_CAPTION_ERROR;
}

QRect to_qrect(const shell::Rect& r) { return QRect(r.x, r.y, r.width, r.height); }

// A save dialog that turns the name typed into it into the file it writes by
// the program's own rule (relative to the folder shown, the dialog's
// extension added when the name has none) before it checks the name.  The
// platform dialog alone would look a relative name up in the program's
// working folder, and add no extension when a folder there has that name.
class Save_dialog : public QFileDialog {
public:
    Save_dialog(QWidget* parent, const QString& title, std::string extension)
        : QFileDialog(parent, title), extension_(std::move(extension)) {
        // The dialog of the program's own, whose name field the rule reads.
        setOption(QFileDialog::DontUseNativeDialog, true);
        setAcceptMode(QFileDialog::AcceptSave);
        setFileMode(QFileDialog::AnyFile);
    }

    void accept() override {
        auto* name = findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        const QString typed = name ? name->text() : QString();
        if (typed.isEmpty() || typed.endsWith(QLatin1Char('/'))) {
            QFileDialog::accept();  // nothing named, or a folder to go into
            return;
        }
        name->setText(q(typed_save_path(directory().absolutePath().toStdString(), typed.toStdString(), extension_)));
        QFileDialog::accept();
        if (result() != QDialog::Accepted && name->text() != typed) name->setText(typed);  // still open: as typed
    }

private:
    std::string extension_;
};

}  // namespace

// The Reports list's lines.  A model over compact lines (one block of text,
// an offset per line) keeps a report file of a million lines quick to show
// and small in memory; a row becomes a QString only when it is painted.
// Every row has the same size, and the width is the horizontal extent the
// report logic asks for.
class Report_lines_model : public QAbstractListModel {
public:
    using QAbstractListModel::QAbstractListModel;

    int rowCount(const QModelIndex& parent) const override {
        return parent.isValid() ? 0 : static_cast<int>(lines_.size());
    }
    QVariant data(const QModelIndex& index, int role) const override {
        if (!index.isValid() || index.row() >= static_cast<int>(lines_.size())) return {};
        if (role == Qt::DisplayRole) return q(lines_[static_cast<size_t>(index.row())]);
        if (role == Qt::SizeHintRole) return QSize(row_width_, row_height_);
        return {};
    }
    void append(const std::vector<std::string>& lines) {
        if (lines.empty()) return;
        const int first = static_cast<int>(lines_.size());
        beginInsertRows({}, first, first + static_cast<int>(lines.size()) - 1);
        for (const auto& line : lines) lines_.push_back(line);
        endInsertRows();
    }
    void clear() {
        beginResetModel();
        lines_.clear();
        endResetModel();
    }
    void set_metrics(int row_width, int row_height) {
        beginResetModel();
        row_width_ = row_width;
        row_height_ = row_height;
        endResetModel();
    }

private:
    reports::Report_lines lines_;
    int row_width_ = 0;
    int row_height_ = 0;
};

QString dialog_filter(const std::string& filter) {
    // Pairs of description|pattern; Qt shows the description, which already
    // names the pattern, and "*.*" means every file.
    const QStringList parts = q(filter).split(QLatin1Char('|'), Qt::SkipEmptyParts);
    QStringList out;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QString patterns = parts[i + 1];
        patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        patterns.replace(QStringLiteral("*.*"), QStringLiteral("*"));
        QString description = parts[i];
        const int open = description.indexOf(QLatin1Char('('));
        if (open >= 0) description.truncate(open);
        out << description.trimmed() + QStringLiteral(" (") + patterns + QLatin1Char(')');
    }
    return out.join(QStringLiteral(";;"));
}

Main_window::Main_window(comm::Serial_port& port, comm::Clock& clock)
    : dialog_(std::make_unique<shell::Main_dialog>(*this, port, clock)) {
    install_window_rules();
    setWindowTitle(q(res::IDS_MAIN_TITLE));
    setWindowIcon(QIcon::fromTheme(QStringLiteral("utilities-system-monitor")));
}

Main_window::~Main_window() = default;

bool Main_window::start() {
    build_menus();
    build_controls();

    // Created size: the dialog-unit layout at 50,50 with the menu bar above it.
    const auto created = shell::created_layout(
        {tag_list_->fontMetrics().averageCharWidth(), tag_list_->fontMetrics().height()});
    measures_ = created.measures;
    client_->setMinimumSize(minimum_client_size());
    resize(measures_.client_width, measures_.client_height + menuBar()->sizeHint().height());
    move(50, 50);

    std::optional<shell::Data_folders> folders;
    if (shell::Data_folders found; shell::find_data_folders(found)) folders = found;
    if (!dialog_->initialize(folders, outer_rect())) return false;

    const auto& s = dialog_->settings();
    create();  // the platform window, which knows the frame's borders
    const shell::Rect placed = restored_placement({s.window.left, s.window.top, s.window.width, s.window.height});
    setGeometry(to_qrect(placed));
    if (s.window_mode == 1) setWindowState(windowState() | Qt::WindowMaximized);
    lay_out_controls();
    dialog_->finish_initializing();
    return true;
}

void Main_window::build_menus() {
    std::function<void(QMenu*, const std::vector<res::Menu_entry>&)> fill = [&](QMenu* menu, const auto& entries) {
        for (const auto& entry : entries) {
            switch (entry.kind) {
            case res::Menu_entry::Kind::separator: menu->addSeparator(); break;
            case res::Menu_entry::Kind::submenu: fill(menu->addMenu(q(entry.caption)), entry.entries); break;
            case res::Menu_entry::Kind::item: {
                const int id = entry.command;
                QAction* action = menu->addAction(q(entry.caption));
                action->setEnabled(dialog_->command_available(id));
                connect(action, &QAction::triggered, this, [this, id] { run_command(id); });
                connect(action, &QAction::hovered, this, [this, id] { dialog_->menu_item_highlighted(id); });
                actions_[id] = action;
                break;
            }
            }
        }
        connect(menu, &QMenu::aboutToHide, this, [this] { dialog_->menu_closed(); });
    };
    for (const auto& top : res::main_menu()) {
        QMenu* menu = menuBar()->addMenu(q(top.caption));
        top_menus_.push_back(menu);
        fill(menu, top.entries);
    }
    for (int id : {res::ID_UPLOAD_TEXT_FORMAT, res::ID_UPLOAD_CSV_FORMAT, res::ID_USE_COM1, res::ID_USE_COM2,
                   res::ID_USE_COM3, res::ID_USE_COM4, res::ID_USE_COM5, res::ID_USE_COM6, res::ID_USE_COM7,
                   res::ID_USE_COM8})
        actions_[id]->setCheckable(true);
    menuBar()->installEventFilter(this);
}

void Main_window::build_controls() {
    client_ = new QWidget(this);
    setCentralWidget(client_);
    client_->installEventFilter(this);
    const QFont font = list_font();

    tag_label_ = new QLabel(q(res::IDS_LABEL_TAG_IDS), client_);
    reports_label_ = new QLabel(q(res::IDS_LABEL_REPORTS), client_);
    tag_list_ = new QListWidget(client_);
    tag_list_->setObjectName(QStringLiteral("tag_list"));
    tag_list_->setFont(font);
    tag_list_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    tag_list_->setUniformItemSizes(true);

    reports_model_ = new Report_lines_model(this);
    reports_list_ = new QListView(client_);
    reports_list_->setObjectName(QStringLiteral("reports_list"));
    reports_list_->setFont(font);
    reports_list_->setModel(reports_model_);
    reports_list_->setSelectionMode(QAbstractItemView::NoSelection);
    reports_list_->setUniformItemSizes(true);
    reports_list_->setFocusPolicy(Qt::NoFocus);
    reports_list_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    reports_model_->set_metrics(0, reports_list_->fontMetrics().height());

    status_line_ = new QLabel(client_);
    status_line_->setObjectName(QStringLiteral("status_line"));
    status_line_->setTextFormat(Qt::PlainText);
}

void Main_window::lay_out_controls() {
    const shell::Control_layout layout = shell::layout_controls(measures_, client_->width(), client_->height());
    const auto created = shell::created_layout(
        {tag_list_->fontMetrics().averageCharWidth(), tag_list_->fontMetrics().height()});
    tag_label_->setGeometry(to_qrect(created.tag_label));
    reports_label_->setGeometry(to_qrect(created.reports_label).adjusted(0, 0, layout.reports_list.width, 0));
    tag_list_->setGeometry(to_qrect(layout.tag_list));
    reports_list_->setGeometry(to_qrect(layout.reports_list));
    status_line_->setGeometry(to_qrect(layout.status_line));
}

shell::Window_state Main_window::window_state() const {
    if (isMinimized()) return shell::Window_state::minimised;
    if (isMaximized()) return shell::Window_state::maximised;
    return shell::Window_state::normal;
}

shell::Window_rect Main_window::outer_rect() const {
    // The window's own rectangle, without the frame the window manager adds:
    // setGeometry() takes it back as it is.  The frame is not known before
    // the window is shown, and the window manager reports its corner while it
    // places the window, so saving the frame and restoring it would move or
    // grow the window on every start.
    const QRect inner = geometry();
    return {inner.left(), inner.top(), inner.width(), inner.height()};
}

shell::Rect Main_window::restored_placement(const shell::Rect& stored) const {
    // Fitted into the screen the stored corner lies on (else the primary
    // one), never smaller than the window's minimum.
    QScreen* screen = QGuiApplication::screenAt(QPoint(stored.x, stored.y));
    if (!screen) screen = QGuiApplication::primaryScreen();
    if (!screen) return stored;
    // The frame around the stored rectangle (when the platform knows it yet)
    // must fit too.
    const QMargins frame = windowHandle() ? windowHandle()->frameMargins() : QMargins();
    const QRect area = screen->availableGeometry().marginsRemoved(frame);
    const QSize least = minimumSizeHint();
    return shell::fit_to_screen(stored, {area.x(), area.y(), area.width(), area.height()}, least.width(),
                                least.height());
}

QSize Main_window::minimum_client_size() const {
    // The Tag ID list keeps its width; the Reports list keeps room for 24
    // characters and both lists for 5 lines, with their frames and scroll bars.
    const QFontMetrics metrics = tag_list_->fontMetrics();
    const int frame = 2 * tag_list_->frameWidth();
    const int scroll_bar = style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    const int list_height = 5 * metrics.lineSpacing() + frame + scroll_bar;
    const int reports_width = 24 * metrics.averageCharWidth() + frame + scroll_bar;
    return {measures_.client_width - measures_.reports_list.width + reports_width,
            measures_.client_height - measures_.tag_list.height + list_height};
}

bool Main_window::eventFilter(QObject* watched, QEvent* event) {
    if (watched == client_ && event->type() == QEvent::Resize) {
        // The first size event after creation keeps the created layout.
        if (skip_next_layout_) {
            skip_next_layout_ = false;
            lay_out_controls();
        } else if (!isMinimized()) {
            lay_out_controls();
        }
        dialog_->window_sized(window_state(), outer_rect());
    }
    if (watched == menuBar() && event->type() == QEvent::MouseButtonPress && dialog_->busy()) {
        dialog_->menu_opened_while_busy();
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

void Main_window::moveEvent(QMoveEvent* event) {
    QMainWindow::moveEvent(event);
    dialog_->window_moved(window_state(), outer_rect());
}

void Main_window::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Escape: close(); return;
    case Qt::Key_Return:
    case Qt::Key_Enter: return;  // Enter does nothing in the main window
    case Qt::Key_F1: show_help(res::HELP_MAIN_WINDOW); return;
    default: QMainWindow::keyPressEvent(event);
    }
}

void Main_window::closeEvent(QCloseEvent* event) {
    if (dialog_->finished()) {
        event->accept();
        return;
    }
    // A close request while a calibrator command waits ends that wait
    // (cancelled); the program then closes as File > Exit does.
    if (dialog_->calibrator_operation_active() && !dialog_->operation_running()) {
        quit_requested_ = true;
        close_after_operation_ = true;
        event->ignore();
        return;
    }
    if (dialog_->request_exit())
        event->accept();
    else
        event->ignore();
}

void Main_window::run_command(int command) {
    // File > Exit goes the way of the close box, which also ends a wait.
    if (command == res::ID_FILE_EXIT) {
        close();
        return;
    }
    dialog_->run_command(command);
    if (dialog_->finished()) {
        close();
        return;
    }
    if (close_after_operation_ && !dialog_->calibrator_operation_active()) {
        close_after_operation_ = false;
        quit_requested_ = false;
        close();
    }
}

QWidget* Main_window::message_owner() {
    QWidget* active = QApplication::activeModalWidget();
    return active ? active : this;
}

Answer Main_window::message(const std::string& text, Caption caption, Buttons buttons) {
    QMessageBox box(message_owner());
    box.setWindowTitle(q(caption_id(caption)));
    box.setText(q(text));
    box.setTextFormat(Qt::PlainText);
    const bool continue_question = buttons == Buttons::yes_no_exclamation || buttons == Buttons::yes_no_continue;
    const bool question = continue_question || buttons == Buttons::yes_no;
    box.setIcon(buttons == Buttons::yes_no_exclamation    ? QMessageBox::Warning
                : buttons == Buttons::ok_information_icon ? QMessageBox::Information
                                                          : QMessageBox::NoIcon);
    if (question) {
        QPushButton* yes = box.addButton(q(res::IDS_BUTTON_YES), QMessageBox::YesRole);
        QPushButton* no = box.addButton(q(res::IDS_BUTTON_NO), QMessageBox::NoRole);
        // The "Continue?" questions come before tags are erased or reports
        // thrown away: Enter or a stray key must never answer Yes to them.
        box.setDefaultButton(continue_question ? no : yes);
        box.setEscapeButton(no);
        box.exec();
        return box.clickedButton() == yes ? Answer::yes : Answer::no;
    }
    QPushButton* ok = box.addButton(q(res::IDS_BUTTON_OK), QMessageBox::AcceptRole);
    box.setDefaultButton(ok);
    box.setEscapeButton(ok);
    box.exec();
    return Answer::ok;
}

void Main_window::set_status(const std::string& text) {
    status_line_->setText(q(text));
    status_line_->repaint();
}

void Main_window::set_wait_cursor(bool on) {
    if (on) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        ++wait_cursor_depth_;
    } else if (wait_cursor_depth_ > 0) {
        QApplication::restoreOverrideCursor();
        --wait_cursor_depth_;
    }
}

void Main_window::beep() { QApplication::beep(); }

bool Main_window::pump_events() {
    // The wait calls this after every byte of a reply line it takes from the
    // port; the window needs its events far less often than that.
    const auto now = std::chrono::steady_clock::now();
    if (now - last_pump_ < std::chrono::milliseconds(5)) return false;
    last_pump_ = now;
    QApplication::processEvents(QEventLoop::AllEvents);
    const bool quit = quit_requested_;
    quit_requested_ = false;
    return quit;
}

std::optional<std::string> Main_window::pick_file(const File_request& request) {
    const bool save_file = request.save && !request.folder_only;
    std::unique_ptr<QFileDialog> picker =
        save_file ? std::make_unique<Save_dialog>(message_owner(), q(request.title), request.default_extension)
                  : std::make_unique<QFileDialog>(message_owner(), q(request.title));
    if (!request.initial_folder.empty()) picker->setDirectory(q(request.initial_folder));
    if (request.folder_only) {
        picker->setFileMode(QFileDialog::Directory);
        picker->setOption(QFileDialog::ShowDirsOnly, true);
        picker->setAcceptMode(request.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    } else {
        picker->setNameFilter(dialog_filter(request.filter));
        if (!save_file) picker->setFileMode(request.must_exist ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
        if (!request.default_name.empty()) picker->selectFile(q(request.default_name));
        picker->setOption(QFileDialog::DontConfirmOverwrite, !request.ask_replace);
    }
    if (picker->exec() != QDialog::Accepted || picker->selectedFiles().isEmpty()) return std::nullopt;
    return picker->selectedFiles().first().toStdString();
}

void Main_window::set_tag_list(const std::vector<std::string>& lines) {
    tag_list_->clear();
    for (const auto& line : lines) tag_list_->addItem(q(line));
    tag_list_->repaint();
}

std::vector<int> Main_window::selected_tags() {
    std::vector<int> rows;
    for (int row = 0; row < tag_list_->count(); ++row)
        if (tag_list_->item(row)->isSelected()) rows.push_back(row);
    return rows;
}

std::string Main_window::tag_line(int index) {
    const QListWidgetItem* item = tag_list_->item(index);
    return item ? item->text().toStdString() : std::string();
}

void Main_window::append_report_lines(const std::vector<std::string>& lines) { reports_model_->append(lines); }

void Main_window::clear_reports() {
    reports_model_->clear();
    reports_list_->repaint();
}

void Main_window::set_reports_caption(const std::string& caption) { reports_label_->setText(q(caption)); }

void Main_window::set_reports_extent(int characters) {
    reports_model_->set_metrics(characters * reports_list_->fontMetrics().horizontalAdvance(QLatin1Char('0')),
                                reports_list_->fontMetrics().height());
}

void Main_window::set_menus_enabled(bool enabled) {
    for (QMenu* menu : top_menus_) menu->menuAction()->setEnabled(enabled);
    menuBar()->update();
}

void Main_window::set_check_marks(bool text_format, int port) {
    actions_[res::ID_UPLOAD_TEXT_FORMAT]->setChecked(text_format);
    actions_[res::ID_UPLOAD_CSV_FORMAT]->setChecked(!text_format);
    if (port < 1 || port > 8) return;
    const int ports[] = {res::ID_USE_COM1, res::ID_USE_COM2, res::ID_USE_COM3, res::ID_USE_COM4,
                         res::ID_USE_COM5, res::ID_USE_COM6, res::ID_USE_COM7, res::ID_USE_COM8};
    for (int n = 1; n <= 8; ++n) actions_[ports[n - 1]]->setChecked(n == port);
}

void Main_window::show_cancel_window(const std::string& caption, std::function<void()> on_cancel) {
    close_cancel_window();
    cancel_window_ = new Cancel_window(this, caption, std::move(on_cancel), [this](int c) { show_help(c); });
    cancel_window_->show();
}

void Main_window::set_cancel_progress(int done, int total, const std::string& text) {
    if (cancel_window_) cancel_window_->set_progress(done, total, text);
    if (status_window_) status_window_->set_progress(done, total, text);
}

void Main_window::close_cancel_window() {
    if (!cancel_window_) return;
    cancel_window_->hide();
    cancel_window_->deleteLater();
    cancel_window_ = nullptr;
}

std::optional<std::string> Main_window::ask_company_name(const std::string& current) {
    return qt::ask_company_name(this, current, [this](int c) { show_help(c); });
}

void Main_window::show_about() { qt::show_about(this, [this](int c) { show_help(c); }); }

void Main_window::show_identity(const Identity_values& values) {
    qt::show_identity(this, values, [this](int c) { show_help(c); });
}

void Main_window::show_help(int context) {
    if (!help_window_) help_window_ = new Help_window(this);
    help_window_->show_context(context);
}

std::unique_ptr<Print_job> Main_window::choose_printer() {
    return qt::choose_printer(message_owner(), [this](const std::string& text) {
        message(text, Caption::error, Buttons::ok);
    });
}

void Main_window::show_serial_adapters(const Adapters_view& view,
                                       const std::function<Adapters_view(int, int)>& on_map) {
    qt::show_serial_adapters(message_owner(), view, on_map, [this](int c) { show_help(c); });
}

std::optional<int> Main_window::ask_font_size(int current) {
    return qt::ask_font_size(this, current, [this](int c) { show_help(c); });
}

void Main_window::show_display(const std::string& caption, const std::vector<std::string>& lines,
                               const std::function<bool()>& on_print) {
    // The display lists in the main window's list font.
    qt::show_display(this, caption, lines, tag_list_->font(), on_print, [this](int c) { show_help(c); });
}

void Main_window::close_help() {
    if (help_window_) help_window_->close();
}

bool Main_window::run_tag_sheet(const std::string& title, tags::Tag_sheet& sheet) {
    Tag_dialog dialog(message_owner(), *this, title, sheet);
    return dialog.exec() == QDialog::Accepted;
}

std::optional<int> Main_window::ask_point_number(const std::string& prompt) {
    return qt::ask_point_number(message_owner(), *this, prompt);
}

std::optional<Generate_values> Main_window::ask_generate_points(const Generate_values& proposal) {
    return qt::ask_generate_points(message_owner(), *this, proposal);
}

}  // namespace ui::qt
