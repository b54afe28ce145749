#pragma once
// The test call's texts for the operator.

namespace CallMsg {
inline constexpr const char* BadNumber =
    "Номер телефона должен состоять из 3–20 цифр, перед которыми может стоять знак +!";
inline constexpr const char* SamePort =
    "Модем прибора должен быть подключён к другому СОМ-порту, не к порту вызывающего модема!";
inline constexpr const char* CallerPort = "Вызывающий модем: СОМ%d";
inline constexpr const char* AnswerPort = "Модем прибора: СОМ%d";
inline constexpr const char* NoAnswerModem =
    "Модем прибора не отвечает! Проверьте питание и подключение модема прибора и номер его СОМ-порта!";
inline constexpr const char* WaitingRestart = "Ожидание перезапуска модема прибора...";
inline constexpr const char* RestartRefused =
    "Модем прибора не перезапускается командой! Выключите и снова включите его питание. Звонок будет "
    "проверен без перезапуска: сохранённые настройки модема не проверены.";
inline constexpr const char* NotBack =
    "Модем прибора не вернулся после перезапуска! Проверьте его питание и подключение, выключите и "
    "снова включите модем.";
inline constexpr const char* Dialing = "Набор номера %s";
inline constexpr const char* Waiting = "Ожидание ответа: %d сек.";
inline constexpr const char* Ring = "Модем прибора: входящий звонок (RING), %d-й";
inline constexpr const char* AnsweredByItself = "Модем прибора сам ответил на звонок: \"%s\"";
inline constexpr const char* Connected = "Соединение установлено: \"%s\", через %s сек. после набора номера";
inline constexpr const char* DataCheck = "Проверка данных: %d байт в каждую сторону";
inline constexpr const char* DataPassed =
    "Данные переданы без искажений: %d байт в каждую сторону за %s сек., %d бит/сек.";
inline constexpr const char* ToDevice = "от компьютера к прибору";
inline constexpr const char* ToComputer = "от прибора к компьютеру";
inline constexpr const char* DataDamaged =
    "Данные искажены (%s)! Первый неверный байт: %d-й от начала блока. Проверьте уровень сигнала у "
    "обоих модемов и повторите звонок.";
inline constexpr const char* DataMissing =
    "Данные дошли не полностью (%s): получено %d байт из %d. Проверьте уровень сигнала у обоих модемов "
    "и повторите звонок.";
inline constexpr const char* Dropped =
    "Соединение разорвано! Проверьте уровень сигнала у обоих модемов и повторите звонок.";
inline constexpr const char* Busy = "Номер занят! Подождите, пока модем прибора освободится, и повторите звонок.";
inline constexpr const char* RangUnanswered =
    "Модем прибора принял звонков: %d, но сам не ответил! Проверьте, что он настроен для подключения "
    "к прибору (ATS0=2) и что настройки сохранены в его памяти.";
inline constexpr const char* NotAnswered =
    "Модем прибора не ответил! Проверьте номер, что модем прибора включён, его SIM-карту и уровень "
    "сигнала у прибора.";
inline constexpr const char* NotReached =
    "Звонок не дошёл до модема прибора: нет сети или SIM-карты! Проверьте номер, SIM-карты обоих "
    "модемов и их регистрацию в сети (пункт «Проверить модем»).";
inline constexpr const char* NoNetwork =
    "Вызывающий модем не может позвонить: нет сети или SIM-карты! Проверьте его SIM-карту и "
    "регистрацию в сети (пункт «Проверить модем»).";
// The network's word on a call that failed, each ended by the reason's number.
inline constexpr const char* CauseNumber = "%s (причина %d)";
inline constexpr const char* CallerNoData =
    "Сеть отклонила звонок: для SIM-карты вызывающего модема не подключена передача данных (CSD). "
    "Обратитесь к оператору связи.";
inline constexpr const char* DeviceNoData =
    "Сеть отклонила звонок: SIM-карта модема прибора не принимает звонки с передачей данных (CSD). "
    "Обратитесь к оператору связи.";
inline constexpr const char* NoSuchNumber =
    "Номер не существует или набран неверно! Проверьте номер SIM-карты модема прибора.";
inline constexpr const char* DeviceUnreachable =
    "Модем прибора недоступен в сети: выключен, вне зоны покрытия или не зарегистрирован.";
inline constexpr const char* DeviceRejected = "Модем прибора отклонил звонок.";
inline constexpr const char* CallerBarred =
    "Звонок запрещён оператором для SIM-карты вызывающего модема (ограничение или баланс). Обратитесь к "
    "оператору связи.";
inline constexpr const char* NetworkCongested =
    "Сеть временно не может соединить звонок. Повторите звонок через несколько минут.";
inline constexpr const char* OtherCause = "Сеть завершила звонок, причина %d.";
inline constexpr const char* RangAsVoice =
    "Звонок пришёл на модем прибора как голосовой: для номера его SIM-карты не подключена передача данных "
    "(CSD) или нужен отдельный номер для данных. Обратитесь к оператору связи.";
// The bearer of the calling modem, "AT+CBST=71,0,1 (V.110)".
inline constexpr const char* BearerRefused = "Сеть не поддерживает тип соединения %s.";
inline constexpr const char* BearerRetry = "Повтор звонка с %s.";
inline constexpr const char* BearerPassed =
    "Звонок прошёл с типом соединения %s: укажите его в программе опроса приборов.";
inline constexpr const char* HangingUp = "Завершение звонка";
inline constexpr const char* OtherSideEnded = "Модем прибора сообщил о завершении звонка (NO CARRIER)";
inline constexpr const char* OtherSideSilent =
    "Модем прибора не сообщил о завершении звонка! Он будет положен отдельно.";
inline constexpr const char* NotOnHook =
    "Модем не завершил звонок! Выключите и снова включите его питание, чтобы звонок не остался "
    "открытым.";
inline constexpr const char* ProfileNotProven = "Сохранённые настройки модема прибора не проверены: он не перезапускался.";
inline constexpr const char* PortFailed = "Пробный звонок прерван: ошибка СОМ-порта!";
inline constexpr const char* Passed = "Пробный звонок завершён успешно!";
inline constexpr const char* Failed = "Пробный звонок завершён НЕ успешно!";
inline constexpr const char* Stopped = "Пробный звонок прерван!";
}  // namespace CallMsg
