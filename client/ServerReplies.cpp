#include "ServerReplies.h"

#include "Dialogs.h"

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
