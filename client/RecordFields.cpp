#include "RecordFields.h"

#include "Multipart.h"
#include "ValueListEditor.h"

const std::array<RecordField, RecordFieldCount> RecordFields{{
    {"Название", "title", -1, "Укажите название"},
    {"Режиссёр", "producer", -1, nullptr},
    {"Страна", "country", 0, "Укажите страну"},
    {"Жанры", "genre", 1, "Укажите один или несколько жанров через запятую"},
    {"Актёры", "actors", -1, nullptr},
    {"Описание", "description", -1, "Заполните описание"},
    {"Название (англ.)", "title_en", -1, nullptr},
    {"Режиссёр (англ.)", "producer_en", -1, nullptr},
    {"Страна (англ.)", "country_en", 2, nullptr},
    {"Жанры (англ.)", "genre_en", 3, nullptr},
    {"Актёры (англ.)", "actors_en", -1, nullptr},
    {"Описание (англ.)", "description_en", -1, nullptr},
    {"Ссылка на трейлер", "trailer", -1, nullptr},
    {"Ссылка на полное видео", "video", -1, nullptr},
    {"Ссылка на Kinopoisk", "kinopoisk", -1, nullptr},
    {"Ссылка на IMDB", "imdb", -1, nullptr},
    {"Год выпуска", "creation_year", -1, "Заполните год выпуска"},
}};

void AddRecordFieldRows(TValueListEditor& editor)
{
    for (const RecordField& field : RecordFields)
        editor.AddRow(field.caption);
}

std::optional<UnicodeString> FirstMissingRequiredField(const TValueListEditor& editor)
{
    for (int row = 1; row <= RecordFieldCount; ++row) {
        const char* message = RecordFields[row - 1].missingMessage;
        if (message && editor.Value(row).IsEmpty())
            return UnicodeString(message);
    }
    return std::nullopt;
}

void AddRecordFieldParts(MultipartBody& body, const TValueListEditor& editor)
{
    for (int row = 1; row <= RecordFieldCount; ++row) {
        const char* charset = row == YearRow ? "" : "UTF-8";
        body.AddFormField(RecordFields[row - 1].formField, editor.Value(row), charset).SetContentTransfer("binary");
    }
}
