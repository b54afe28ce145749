#pragma once
// The engine's texts for the operator, in UTF-8. The letters СОМ in the port texts are
// Cyrillic, as the operator has always seen them.

namespace Msg {
inline constexpr const char* ErrorCaption = "Ошибка";
inline constexpr const char* StartCaption = "Старт!";
inline constexpr const char* StopCaption = "Стоп!";
inline constexpr const char* Opening = "Открытие СОМ%d";
inline constexpr const char* Searching = "Поиск модема на скорости %d бит/сек.";
inline constexpr const char* SettingSpeed = "Установка скорости СОМ-порта %d бит/сек.";
inline constexpr const char* Executing = "Выполнение команды %s";
inline constexpr const char* Received = "Получен ответ \"%s\"";
inline constexpr const char* NoModem =
    "Модем не отвечает! Проверьте правильность подключения модема и номер указанного СОМ-порта!";
inline constexpr const char* OperationError = "При выполнении операции возникла ошибка!";
inline constexpr const char* NoReply =
    "От модема не был получен ответ на команду \"%s\".\r\nОперация будет прекращена!";
inline constexpr const char* ModemErrorReply =
    "При выполнении команды \"%s\" возникла ошибка! Модем выдал сообщение \"%s\".\r\n"
    "Операция будет прекращена!";
inline constexpr const char* SimCardError =
    "При выполнении команды \"%s\" возникла ошибка! Модем выдал сообщение \"%s\".\r\n"
    "Проверьте, что SIM карта вставлена в модем, и модем зарегистрирован в сети оператора!\r\n"
    "Операция будет прекращена!";
// What the modem said unasked that the operator must know, with its own words.
inline constexpr const char* PowerLow =
    "Модем сообщил о недостаточном напряжении питания (\"%s\")! Проверьте блок питания модема.";
inline constexpr const char* ShuttingDown = "Модем сообщил о выключении (\"%s\")! Проверьте питание модема.";
inline constexpr const char* MaybeStarting =
    "Модем передавал данные, но не ответил на команду AT: возможно, он ещё не закончил запуск. "
    "Повторите операцию через несколько секунд.";
inline constexpr const char* S0SetAnyway =
    "Значение S0=%d модем всё же установил: ошибка относится к подключению к GPRS.";
inline constexpr const char* Succeeded = "Операция завершена успешно!";
inline constexpr const char* NotSucceeded = "Операция завершена НЕ успешно!";
// A job cannot run without each of the four choices; a row names the one to make.
inline constexpr const char* ChooseCom = "Не выбран СОМ-порт! Выберите СОМ порт, к которому подключен модем.";
inline constexpr const char* ChooseModel = "Не выбран тип модема! Выберите тип используемого модема.";
inline constexpr const char* ChooseSpeed = "Не выбрана скорость! Выберите скорость СОМ-порта прибора.";
inline constexpr const char* ChoosePlace = "Не выбрано место подключения! Выберите место подключения модема.";
inline constexpr const char* WorkerFailed =
    "Ошибка ожидания команды! Программа не может выполнять операции, перезапустите её.";
}  // namespace Msg
