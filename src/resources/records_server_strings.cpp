#include "resources/records_server_strings.h"
#include "resources/strings.h"

namespace res {

extern const std::vector<String_entry> records_server_strings = {
    {IDS_BAD_ADDRESS, "%s is not a database address of the form postgresql://USER@HOST[:PORT]/DBNAME: %s."},
    {IDS_ADDRESS_HOLDS_PASSWORD,
     "The database address %s holds a password.  Give the password in ~/.pgpass or in PGPASSWORD instead: it is "
     "never kept with the address."},
    {IDS_ADDRESS_NO_USER, "the user name is missing"},
    {IDS_ADDRESS_NO_HOST, "the server is missing"},
    {IDS_ADDRESS_NO_DATABASE, "the database name is missing"},
    {IDS_ADDRESS_BAD_PORT, "the port is not a number from 1 to 65535"},
    {IDS_ADDRESS_BAD_ESCAPE, "a percent-escape cannot be read"},
    {IDS_ADDRESS_UNKNOWN_OPTION,
     "the option \"%s\" is not one the program passes on (sslmode, sslrootcert, sslcert, sslkey, sslcrl)"},
    {IDS_SERVER_TOO_OLD,
     "The records database %s is on PostgreSQL %s; the program needs PostgreSQL 12 or later.  Nothing was changed."},
    {IDS_COPY_COUNTS, "%i copied, %i already recorded"},
    {IDS_COPY_SAME_DATABASE, "The records cannot be copied into the database they are read from (%s)."},
    {IDS_COPY_CONFLICT, "tag %s calibrated %s is recorded in %s with different values; it was not copied"},
    {IDS_FILES_NOT_TRIED, "Files not recorded because the records database failed: %i.  Import them again later."},
    {IDS_COPY_NOT_DONE, "The copy stopped after %i records.  Run it again to copy the rest: nothing is copied twice."},
};

}  // namespace res
