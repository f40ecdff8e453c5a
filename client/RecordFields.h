#pragma once
// The seventeen descriptive fields of a catalogue record, shared by the add-video form and the record form:
// each field's editor row (1 to 17), its caption, the form field it travels under, and the value picker page
// that a double-click on its row opens.

#include <array>
#include <optional>

#include "platform/UnicodeString.h"

class MultipartBody;
class TValueListEditor;

struct RecordField {
    const char* caption;
    const char* formField;
    int pickerPage;  // -1 when the row has no picker page
    const char* missingMessage;  // the required-field check's message; nullptr when the row may stay empty
};

inline constexpr int RecordFieldCount = 17;
inline constexpr int YearRow = 17;

// Index 0 is row 1.
extern const std::array<RecordField, RecordFieldCount> RecordFields;

// Fills an editor with the seventeen captions, values empty.
void AddRecordFieldRows(TValueListEditor& editor);

// The required-field checks that both saves run before sending, in their order: the message of the first
// empty required row, or nothing when all are filled. A value of blanks counts as filled.
std::optional<UnicodeString> FirstMissingRequiredField(const TValueListEditor& editor);

// Adds the seventeen rows as the parts of add.php and update.php: rows 1 to 16 as UTF-8 binary text parts, the
// year as a single-byte binary text part, each under its form field and with the row's text unchanged.
void AddRecordFieldParts(MultipartBody& body, const TValueListEditor& editor);
