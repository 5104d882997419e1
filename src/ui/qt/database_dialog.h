// The Records Database dialog of Records > Database...: the database in
// use, three radio buttons (the default file; another file, with its path
// and Browse...; a PostgreSQL server, with its address), Test Connection and
// its one-line result, OK, Cancel and Help.  The widget-free
// records::Database_choice holds the choice and decides; the dialog hands
// it every radio button, edit and button at once and mirrors it.
#pragma once

#include <QDialog>
#include <functional>

#include "records/database_choice.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace ui::qt {

class Database_dialog : public QDialog {
public:
    Database_dialog(QWidget* parent, records::Database_choice& choice, const std::function<void(int)>& help);

private:
    // Shows what the choice holds now.
    void mirror();
    // Test Connection: "Connecting to ..." painted, with the wait cursor,
    // before the wait (a server can take the store's connect time-out).
    void test_connection();

    records::Database_choice& choice_;
    bool mirroring_ = false;  // radio buttons set by mirror() are not the user's
    QLabel* current_ = nullptr;
    QRadioButton* default_radio_ = nullptr;
    QRadioButton* file_radio_ = nullptr;
    QRadioButton* server_radio_ = nullptr;
    QLabel* default_path_ = nullptr;
    QLineEdit* file_ = nullptr;
    QPushButton* browse_ = nullptr;
    QLineEdit* address_ = nullptr;
    QLabel* password_hint_ = nullptr;
    QLabel* result_ = nullptr;
};

}  // namespace ui::qt
