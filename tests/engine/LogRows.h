#pragma once
// The log rows a job writes, built the way the tests spell out what they expect.

#include <initializer_list>
#include <string>
#include <vector>

using Rows = std::vector<std::string>;

inline std::string Search(int speed) { return "Поиск модема на скорости " + std::to_string(speed) + " бит/сек."; }
inline std::string Exec(const std::string& command) { return "Выполнение команды " + command; }
inline std::string Got(const std::string& reply) { return "Получен ответ \"" + reply + "\""; }
inline const std::string NoModem =
    "Модем не отвечает! Проверьте правильность подключения модема и номер указанного СОМ-порта!";
inline const std::string Succeeded = "Операция завершена успешно!";
inline const std::string NotSucceeded = "Операция завершена НЕ успешно!";

// Each command's row followed by its reply's row.
inline Rows CommandRows(const std::vector<std::string>& commands, const std::vector<std::string>& replies) {
    Rows rows;
    for (size_t i = 0; i < commands.size(); ++i) {
        rows.push_back(Exec(commands[i]));
        rows.push_back(Got(replies[i]));
    }
    return rows;
}

inline Rows Concat(std::initializer_list<Rows> parts) {
    Rows all;
    for (const auto& p : parts) all.insert(all.end(), p.begin(), p.end());
    return all;
}
