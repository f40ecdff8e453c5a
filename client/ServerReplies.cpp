#include "ServerReplies.h"

#include "Dialogs.h"
#include "HttpClient.h"
#include "platform/StringList.h"

const UnicodeString ServerUnavailableMessage = "Сервер недоступен!\n Попробуйте повторить запрос чуть позже!";

bool ShowAccountRefusal(const UnicodeString& reply)
{
    struct Refusal {
        const char* reply;
        const char* message;
    };
    static constexpr Refusal refusals[] = {
        {"Wrong password", "Неверный пароль!"},
        {"User not found", "Пользователь не найден!"},
        {"User blocked", "Пользователь заблокирован!"},
    };
    for (const Refusal& refusal : refusals) {
        if (reply == UnicodeString(refusal.reply)) {
            ShowMessage(refusal.message);
            return true;
        }
    }
    return false;
}

bool PostForLines(HttpClient& http, const UnicodeString& url, const MultipartBody& body, TStringList& lines)
{
    try {
        lines.SetText(http.Post(url, body));
    } catch (const std::exception&) {
        ShowMessage(ServerUnavailableMessage);
        return false;
    }
    if (lines.Count() == 0) {
        ShowMessage(ServerUnavailableMessage);
        return false;
    }
    return true;
}

void ShowSaveReply(const UnicodeString& reply)
{
    if (reply == UnicodeString("OK"))
        ShowMessage("Данные сохранены!");
    else if (!ShowAccountRefusal(reply) && reply.SubString(1, 10) == UnicodeString("Duplicate "))
        ShowMessage("Такой файл уже проиндексирован!");
}
