// The result of every calibrator transaction and operation.
#pragma once

namespace comm {

enum Result_code : int {
    RESULT_OK = 0,              // a complete line was received
    RESULT_BAD_LINE = 1,        // a control character other than CR ended the line, or it was too long
    RESULT_NO_RESPONSE = 2,     // nothing arrived before the time-outs and re-sends ran out
    RESULT_PARTIAL = 3,         // some characters, then silence without a CR
    RESULT_DOCUMENT_MODE = 4,   // "<Exit DOCUMENT mode>": the calibrator is busy documenting
    RESULT_CANCELLED = 5,       // the user cancelled, or a quit request came in
    RESULT_PORT_CLOSED = 6,     // no port is open
    RESULT_INVALID = 7,         // no expected reply form on any attempt (or a bad frame)
    RESULT_REFUSED = 8,         // the calibrator answered with an error or not-found line
    RESULT_NOT_IDENTITY = 9,    // the reply to "*IDN?" is not an identity string
};

}  // namespace comm
