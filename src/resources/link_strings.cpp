#include "resources/link_strings.h"
#include "resources/strings.h"

namespace res {

extern const std::vector<String_entry> link_strings = {
    {IDS_PORT_OPEN_FAILED, "Unable to open communications port"},
    {IDS_PORT_BUFFERS_FAILED, "Unable to set communications buffers"},
    {IDS_PORT_TIMEOUTS_FAILED, "Unable to set communications time outs"},
    {IDS_PORT_GET_STATE_FAILED, "Unable to get communications state"},
    {IDS_PORT_SET_STATE_FAILED, "Unable to set communications state"},
    {IDS_OPERATION_FAILED, "Operation not successfully completed.  Try again."},
    {IDS_EXIT_DOCUMENT_MODE, "Exit DOCUMENT mode and repeat operation"},
    {IDS_NOT_IDENTITY,
     "Response received was not valid for a device identity request.  Check COM port setting.  "
     "Device connected may be a modem or other non-calibrator device."},
    {IDS_NO_RESPONSE,
     "Calibrator failed to respond during the operation.\nCheck calibrator power status and "
     "communications cables.\nTry operation again."},

    // Serial adapters.
    {IDS_PORT_OPEN_FAILED_HINT, "Configure > Serial Adapters... lists the serial devices and maps COM ports to them."},
    {IDS_ADAPTERS_CAPTION, "Serial Adapters"},
    {IDS_ADAPTER_COLUMN_DEVICE, "Device"},
    {IDS_ADAPTER_COLUMN_BY_ID, "By-id name"},
    {IDS_ADAPTER_COLUMN_MAKER, "Maker"},
    {IDS_ADAPTER_COLUMN_PRODUCT, "Product"},
    {IDS_ADAPTER_COLUMN_SERIAL, "Serial number"},
    {IDS_ADAPTER_COLUMN_PORTS, "Mapped to"},
    {IDS_ADAPTER_COLUMN_ACCESS, "Access"},
    {IDS_ADAPTER_NO_PERMISSION, "no permission"},
    {IDS_ADAPTER_DIALOUT_HINT,
     "A device marked \"no permission\" cannot be opened by your user.  Add yourself to the dialout "
     "group (sudo adduser $USER dialout) and log in again."},
    {IDS_PORT_LINE_DEFAULT, "%s: %s (default)"},
    {IDS_PORT_LINE_MAPPED, "%s: %s"},
    {IDS_PORT_LINE_SET_ELSEWHERE, "%s: %s (set by the simulator or by hand)"},
    {IDS_PORT_DEVICE_ABSENT, " - not present"},
    {IDS_REPLACE_PORT_QUESTION,
     "%s opens %s, set by the simulator or by hand.  It will open %s instead.  Continue?"},
    {IDS_MAP_PORT_FAILED, "Unable to map %s to %s: %s"},
    {IDS_MAP_PORT_LABEL, "COM port:"},
    {IDS_BUTTON_MAP, "&Map"},
    {IDS_BUTTON_CLOSE, "Close"},

    // Calibrator error codes 1..25 (id = 57646 + code).
    {IDS_CALIBRATOR_ERROR_BASE + 1, "1 - Invalid download field number."},
    {IDS_CALIBRATOR_ERROR_BASE + 2, "2 - Field number is out of sequence."},
    {IDS_CALIBRATOR_ERROR_BASE + 3, "3 - Invalid tag position."},
    {IDS_CALIBRATOR_ERROR_BASE + 4, "4 - Tag position is in use."},
    {IDS_CALIBRATOR_ERROR_BASE + 5, "5 - Tag position does not match previous commands."},
    {IDS_CALIBRATOR_ERROR_BASE + 6, "6 - Data value is too long, or contains invalid characters."},
    {IDS_CALIBRATOR_ERROR_BASE + 7, "7 - Tag identity is already in use, or is blank."},
    {IDS_CALIBRATOR_ERROR_BASE + 8,
     "8 - Data value is too long, or does not contain a valid integer number if it is not blank."},
    {IDS_CALIBRATOR_ERROR_BASE + 9, "9 - Number of test point is invalid."},
    {IDS_CALIBRATOR_ERROR_BASE + 10,
     "10 - Data value is too long, or does not contain a valid floating point number if it is not "
     "blank."},
    {IDS_CALIBRATOR_ERROR_BASE + 11, "11 - Numeric data value is out of range for this field."},
    {IDS_CALIBRATOR_ERROR_BASE + 12, "12 - String data value is not a valid value for this field."},
    {IDS_CALIBRATOR_ERROR_BASE + 13,
     "13 - Instrument input or output configuration fields do not constitute a valid "
     "configuration."},
    {IDS_CALIBRATOR_ERROR_BASE + 14,
     "14 - Instrument input and output combination is not supported by the calibrator."},
    {IDS_CALIBRATOR_ERROR_BASE + 15, "15 - Invalid upload field number."},
    {IDS_CALIBRATOR_ERROR_BASE + 16, "16 - Tag position is not in use."},
    {IDS_CALIBRATOR_ERROR_BASE + 17, "17 - Instrument input range is too small, must be >.0001."},
    {IDS_CALIBRATOR_ERROR_BASE + 18, "18 - Unknown error"},
    {IDS_CALIBRATOR_ERROR_BASE + 19, "19 - Unknown error"},
    {IDS_CALIBRATOR_ERROR_BASE + 20, "20 - Unknown error"},
    {IDS_CALIBRATOR_ERROR_BASE + 21, "21 - Unknown error"},
    {IDS_CALIBRATOR_ERROR_BASE + 22, "22 - Unknown error"},
    {IDS_CALIBRATOR_ERROR_BASE + 23, "23 - Unknown error"},
    {IDS_CALIBRATOR_ERROR_BASE + 24, "24 - Unknown error"},
    {IDS_CALIBRATOR_ERROR_BASE + 25, "25 - Unknown error"},
    {IDS_UNKNOWN_ERROR_CODE, "Unknown error code %i returned."},
    {IDS_USER_CANCELLED_UPLOAD, "User cancelled tag upload."},

    // Identity and clock checks.
    {IDS_NOT_SUPPORTED, "Calibrator is not supported."},
    {IDS_VERIFYING_IDENTITY, "Verifying calibrator type and version.  Please wait."},
    {IDS_VERIFYING_CLOCK, "Verifying calibrator time and date.  Please wait."},
    {IDS_CLOCK_QUESTION,
     "Calibrator time (%4i/%02i/%02i %i:%02i:%02i) more than 15 minutes different from PC time "
     "(%4i/%02i/%02i %i:%02i:%02i).  Update calibrator time?"},
    {IDS_DISABLE_CLOCK_CHECK, "Disable time synchronization check for the remainder of this session?"},
    {IDS_CLOCK_FAILED, "Time and date verification failed.  Try operation again."},
    {IDS_UPLOADING_IDENTITY, "Uploading calibrator identification.  Please wait."},
    {IDS_IDENTITY_TITLE, "Calibrator Identification"},
    {IDS_IDENTITY_MANUFACTURER, "Manufacturer:"},
    {IDS_IDENTITY_MODEL, "Model:"},
    {IDS_IDENTITY_SERIAL, "Serial Number:"},
    {IDS_IDENTITY_FIRMWARE, "Firmware Version:"},
    {IDS_FIRMWARE_FORMAT, "%i.%02i%s"},
};

}  // namespace res
