// Ids of the calibrator link's texts: port and transaction messages,
// calibrator error codes, identity and clock checks.
#pragma once

namespace res {

enum Link_string : int {
    IDS_PORT_OPEN_FAILED = 57603,
    IDS_PORT_BUFFERS_FAILED = 57607,
    IDS_PORT_TIMEOUTS_FAILED = 57608,
    IDS_PORT_GET_STATE_FAILED = 57609,
    IDS_PORT_SET_STATE_FAILED = 57610,
    IDS_OPERATION_FAILED = 57642,        // result 7
    IDS_EXIT_DOCUMENT_MODE = 57643,      // result 4
    IDS_NOT_IDENTITY = 57644,            // result 9
    IDS_NO_RESPONSE = 57645,             // results 1, 2, 3, 5, 6
    IDS_CALIBRATOR_ERROR_BASE = 57646,   // + code 1..25
    IDS_UNKNOWN_ERROR_CODE = 57672,
    IDS_USER_CANCELLED_UPLOAD = 57673,
    IDS_NOT_SUPPORTED = 57674,
    IDS_VERIFYING_IDENTITY = 57675,
    IDS_VERIFYING_CLOCK = 57676,
    IDS_CLOCK_QUESTION = 57677,
    IDS_DISABLE_CLOCK_CHECK = 57678,
    IDS_CLOCK_FAILED = 57679,
    IDS_UPLOADING_IDENTITY = 57680,
    IDS_IDENTITY_TITLE = 57681,
    IDS_IDENTITY_MANUFACTURER = 57682,
    IDS_IDENTITY_MODEL = 57683,
    IDS_IDENTITY_SERIAL = 57684,
    IDS_IDENTITY_FIRMWARE = 57685,
    IDS_FIRMWARE_FORMAT = 57686,

    // Serial adapters: the serial devices listed and COM ports mapped to them.
    IDS_PORT_OPEN_FAILED_HINT = 57960,      // second line of "Unable to open communications port"
    IDS_ADAPTERS_CAPTION = 57961,
    IDS_ADAPTER_COLUMN_DEVICE = 57962,      // column headings of the device table
    IDS_ADAPTER_COLUMN_BY_ID = 57963,
    IDS_ADAPTER_COLUMN_MAKER = 57964,
    IDS_ADAPTER_COLUMN_PRODUCT = 57965,
    IDS_ADAPTER_COLUMN_SERIAL = 57966,
    IDS_ADAPTER_COLUMN_PORTS = 57967,
    IDS_ADAPTER_COLUMN_ACCESS = 57968,
    IDS_ADAPTER_NO_PERMISSION = 57969,      // the mark of a device the user may not open
    IDS_ADAPTER_DIALOUT_HINT = 57970,
    IDS_PORT_LINE_DEFAULT = 57971,          // "%s" port name, "%s" device
    IDS_PORT_LINE_MAPPED = 57972,           // "%s" port name, "%s" device
    IDS_PORT_LINE_SET_ELSEWHERE = 57973,    // "%s" port name, "%s" device
    IDS_PORT_DEVICE_ABSENT = 57974,         // added to a port line whose device is not there
    IDS_REPLACE_PORT_QUESTION = 57975,      // "%s" port name, "%s" current device, "%s" new device
    IDS_MAP_PORT_FAILED = 57976,            // "%s" port name, "%s" device, "%s" system reason
    IDS_MAP_PORT_LABEL = 57977,
    IDS_BUTTON_MAP = 57978,
    IDS_BUTTON_CLOSE = 57979,
};

}  // namespace res
