#include "resources/database_dialog_strings.h"
#include "resources/strings.h"

namespace res {

extern const std::vector<String_entry> database_dialog_strings = {
    {ID_RECORDS_DATABASE, "Choose where the calibration records are kept: a file or a PostgreSQL server"},
    {IDS_DB_TITLE, "Records Database"},
    {IDS_DB_IN_USE_LABEL, "Records are kept in:"},
    {IDS_DB_DEFAULT_RADIO, "Default file"},
    {IDS_DB_FILE_RADIO, "Another file:"},
    {IDS_DB_SERVER_RADIO, "PostgreSQL server:"},
    {IDS_DB_BROWSE, "Browse..."},
    {IDS_DB_ADDRESS_PLACEHOLDER, "postgresql://USER@HOST[:PORT]/DBNAME"},
    {IDS_DB_PASSWORD_HINT, "The password goes in ~/.pgpass or in PGPASSWORD, never in the address."},
    {IDS_DB_TEST_BUTTON, "Test Connection"},
    {IDS_DB_CURRENT_DEFAULT, "%s (the default file)"},
    {IDS_DB_PICK_TITLE, "Records Database File"},
    {IDS_DB_PICK_FILTER, "Records Databases (*.sqlite)|*.sqlite|All Files (*.*)|*.*"},
    {IDS_DB_CONNECTING, "Connecting to %s..."},
    {IDS_DB_NO_FILE, "Type the path of the records database file, or choose it with Browse..."},
    {IDS_DB_NO_ADDRESS, "Type the address of the PostgreSQL database: postgresql://USER@HOST[:PORT]/DBNAME."},
    {IDS_DB_FILE_NOT_WHOLE_PATH, "%s is not a whole path: give the file's path from / (or from ~/)."},
    {IDS_DB_FILE_IS_FOLDER, "%s is a folder: name a file in it, for example %s/records.sqlite."},
    {IDS_DB_FILE_IS_ADDRESS, "%s is a server address: choose \"PostgreSQL server\" for it."},
    {IDS_DB_ADDRESS_NO_SCHEME, "it does not start with postgresql://"},
    {IDS_DB_CONTROL_CHARACTER, "The path or address holds a line break or another control character."},
    {IDS_DB_TEST_CONNECTED, "Connected: %s calibrations recorded."},
    {IDS_DB_TEST_CONNECTED_ONE, "Connected: 1 calibration recorded."},
    {IDS_DB_TEST_READ_ONLY, "Connected, but %s cannot be written (%s): nothing new can be recorded there."},
    {IDS_DB_TEST_NEW_FILE, "%s does not exist yet: it will be made at the first recording."},
    {IDS_DB_TEST_CANNOT_MAKE, "%s cannot be made in %s: %s."},
    {IDS_DB_SETTINGS_NOT_WRITTEN,
     "The settings file %s could not be written.  Nothing was changed: the records stay in %s."},
    {IDS_DB_SAVED, "The calibration records are now kept in %s."},
    {IDS_DB_NEEDS_DESKTOP,
     "Records > Database... needs the desktop program: name the database with database= in section [records] of "
     "the settings file, or give it with --records."},
};

}  // namespace res
