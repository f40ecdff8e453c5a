#pragma once
// The record picture that get_image.php sends: JPEG bytes from a server, decoded only when their size is one a
// record can have. The largest picture of a record is the analyzer's tallest table view picture, 1920 × 65 500.

#include <QImage>
#include <cstddef>
#include <string>

// A longer reply is not held, let alone decoded.
inline constexpr std::size_t MaxRecordPictureBytes = 600'000'000;
// A picture whose header announces more pixels is not decoded: nothing is allocated for it.
inline constexpr long long MaxRecordPicturePixels = 128'000'000;

// The picture in `bytes`; a null image when they hold no JPEG picture or one of more than MaxRecordPicturePixels.
QImage DecodeRecordPicture(const std::string& bytes);
