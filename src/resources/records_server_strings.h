// Ids of the texts of the records kept on a database server and of copying
// records between databases (58400..58449).
#pragma once

namespace res {

enum Records_server_string : int {
    IDS_BAD_ADDRESS = 58400,                // address, reason
    IDS_ADDRESS_HOLDS_PASSWORD = 58401,     // address without the password
    IDS_ADDRESS_NO_USER = 58402,
    IDS_ADDRESS_NO_HOST = 58403,
    IDS_ADDRESS_NO_DATABASE = 58404,
    IDS_ADDRESS_BAD_PORT = 58405,
    IDS_ADDRESS_BAD_ESCAPE = 58406,
    IDS_ADDRESS_UNKNOWN_OPTION = 58407,     // option
    IDS_SERVER_TOO_OLD = 58408,             // address, server version
    IDS_COPY_COUNTS = 58409,                // copied, already recorded
    IDS_COPY_SAME_DATABASE = 58410,         // address
    IDS_COPY_CONFLICT = 58411,              // tag, date, target
    IDS_COPY_NOT_DONE = 58412,              // how many were copied before the failure
    IDS_FILES_NOT_TRIED = 58413,            // how many files an import did not reach
};

}  // namespace res
