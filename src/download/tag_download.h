// Download > Tag: one tag configuration file into a free position of the
// calibrator, and the field-by-field sequence the group download shares.
//
// The calibrator first names the position the tag will take (the free-space
// query "TAG_DNLD 0"); the user then picks a .utg file; its 46 fields go out
// one command each, in field order, blank fields included:
//
//   TAG_DNLD 9 3 Thermocouple       ->  <Complete>
//
// A field command is never re-sent automatically.  A tag gets at most four
// attempts, each from field 1 at a newly queried position; the first three
// are quiet.  A field the calibrator refuses ("<Error n>"), its DOCUMENT mode
// and Cancel end the download at once.  Success shows no message: one beep.
//
// The calibrator keeps whatever fields it accepted before a failure; nothing
// here removes them.
#pragma once

#include <string>

#include "link/result_code.h"
#include "shell/program.h"
#include "tags/tag_file.h"

namespace download {

// Fields a download sends: the tag configuration 1..46.
constexpr int DOWNLOAD_FIELDS = 46;
// Attempts of one tag at most.
constexpr int DOWNLOAD_ATTEMPTS = 4;

// How Download > Tag ended, for the command-line program.
struct Download_outcome {
    bool loaded = false;                           // every field accepted
    int position = -1;                             // where the tag went (when loaded)
    comm::Result_code result = comm::RESULT_OK;    // the last result code
    bool started = false;                          // the checks passed and the port opened
};

// Download > Tag (command 32803).  Shows every outcome itself.
Download_outcome download_tag_command(shell::Program& program);

// Why a download failed, in short, for a summary row: the first line of the
// last failure message shown, or for a refused field the calibrator's error
// and the field.  Empty while no failure message was shown.
using Failure_note = std::string;

// Sends field `field` of the working record to `position` (port open).
// Does nothing and returns 0 when keep_going is already false; sets it false
// on any failure.  Quiet suppresses the messages a later attempt may make
// unnecessary; a refused field, DOCUMENT mode and Cancel are always shown.
// A message shown is noted in note.
comm::Result_code download_field(shell::Program& program, bool& keep_going, int field, int position, bool quiet,
                                 Failure_note& note);

// Sends fields 1..46 of the working record with up to four attempts (port
// open).  position is the one the caller's query returned; every failed
// attempt is followed by a new query whose position and free spaces the next
// attempt uses.  progress_text goes beside the progress bar of the cancel
// window, which counts the fields sent.  True when the tag was loaded;
// result holds the last result code and note the last failure shown.
bool download_working_tag(shell::Program& program, int& position, int& free_spaces, comm::Result_code& result,
                          const std::string& progress_text, Failure_note& note);

// True when a free-space query named a position to download to; otherwise
// shows why not: the query's failure (not completed, DOCUMENT mode, Cancel,
// no answer) or "There is no free space available in the calibrator.", and
// notes it in note when one is given.
bool room_available(shell::Program& program, comm::Result_code query, int free_spaces, int position,
                    Failure_note* note = nullptr);

// The first line of a message: how a summary row gives it in short.
std::string first_line(const std::string& message);

// The name of a download field after "Field:" ("Unknown field number 47."
// outside 1..46).
std::string download_field_name(int field);

// The working-record tag file operations of the program.
tags::Tag_file_context tag_file_context(shell::Program& program);

}  // namespace download
