// The checksum frame of the framed protocol (calibrators of firmware 3 and
// later), in both directions.
//
// A command goes out as  TEXT[LLSSS : LL the frame length without CR (two
// digits at least), SSS the sum of the character codes before it modulo 1000,
// lower-case letters counted as their capitals.  A reply comes back as
// VALUE[LL[FFF]SSS : FFF the field number, only in replies to TAG_UPLD; the
// reply's checksum is taken without case folding.
#pragma once

#include <string>
#include <string_view>

namespace comm {

// The command text with its frame appended.
std::string framed_command_text(std::string_view command);

// Under the framed protocol rewrites the command buffer with its frame;
// otherwise leaves it as it is.
void frame_command(std::string& command, bool framed);

// Under the framed protocol checks the frame of a reply and strips it,
// leaving the bare value in reply.  field is the field number of a TAG_UPLD
// reply, or -1 for every other reply.  False for a damaged frame (wrong
// length, checksum or field number, "[" missing) and for the calibrator's
// frame-error replies "<Error 97>", "<Error 98>", "<Error 99>".  Without the
// framed protocol it returns true and leaves reply as it is.
bool check_response_frame(std::string& reply, int field, bool framed);

// The calibrator's side, used by the simulator.

// A reply value with its frame: field >= 1 adds the three-digit field number.
std::string frame_reply(std::string_view value, int field);

// Checks the frame of a received command and strips it, leaving the bare
// command in command.  False when the frame is missing or damaged (the
// length or the case-folded checksum does not match).
bool check_command_frame(std::string& command);

}  // namespace comm
