#pragma once
// The outside-tool runners of the analysis thread. Each starts one program from the client's folder (or PATH),
// waits for it and reads what it left in the client's work folder into VideoInfo. They return a success
// flag and show nothing; the analysis thread turns a false result into its message.
// `source` is the video being analysed: the analysis thread's own copy of the path.

#include "platform/UnicodeString.h"

// Chooses this client's work folder in CurPath and holds it until the process ends or the next choice, so that
// clients running from one folder never mix their work: the first of temp, temp.2, temp.3, ... that no other
// running client holds, each temp.N created when missing. A missing temp is not created; it stays the work
// folder, unheld, and the analysis then fails with its message.
void TakeWorkFolder();

// The work folder taken, CurPath/temp before any is; and a file in it.
UnicodeString WorkFolder();
UnicodeString WorkFile(const UnicodeString& name);

// ffprobe into dar.info; sets video_sar and video_dar from the first video stream line: the ratios after its
// "SAR " and "DAR " markers, or, where ffprobe leaves them out, square pixels (1, and the line's width / height);
// both 0 without such a line, never an earlier video's. True whenever dar.info could be opened.
bool GetDARInfo(const UnicodeString& source);

// Quillsum md5 into md5.hash; sets md5 to the first token and deletes md5.hash. False when the capture has
// fewer than 20 bytes (it then stays) or cannot be opened.
bool GetMD5Hash(const UnicodeString& source);

// Removes the previous analysis outputs and pictures, runs TarvelloScan with its eight arguments; true when
// data.rgb then exists and is not empty.
bool GetVideoAnalysis(const UnicodeString& source);

// Reads info.dat (key and value tokens in pairs) into the measurements and computes duration. False when
// info.dat has fewer than 20 bytes or cannot be opened.
bool GetVideoInfo();

// Runs Mosaiq for a table picture in the client's folder. Nothing calls it.
bool GetTableViewPicture(const UnicodeString& source);
