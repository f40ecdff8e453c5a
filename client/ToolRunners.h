#pragma once
// The outside-tool runners of the analysis thread. Each starts one program from the client's folder (or PATH),
// waits for it and reads what it left in the client's work folder into VideoInfo. They return a success
// flag and show nothing; the analysis thread turns a false result into its message.
// `source` is the video being analysed: the analysis thread's own copy of the path.

#include "platform/UnicodeString.h"

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
