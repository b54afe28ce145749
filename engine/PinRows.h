#pragma once
// The PIN job's texts for the operator and the rules a PIN must meet. No I/O.

#include <string>

#include "serial/ReplyParser.h"

namespace PinMsg {
inline constexpr const char* BadPin = "PIN-код должен состоять из 4–8 цифр!";
inline constexpr const char* AlreadyOff = "Запрос PIN-кода уже отключён, PIN-код не отправлялся.";
inline constexpr const char* TurnedOff = "Запрос PIN-кода отключён: модем включится без PIN-кода.";
inline constexpr const char* WrongPin = "PIN-код неверен! Осталось попыток: %d.";
inline constexpr const char* WrongPinNoCount = "PIN-код неверен! Сколько попыток осталось, модем не сообщает.";
inline constexpr const char* PukNeeded =
    "SIM-карта заблокирована и ждёт PUK-код, PIN-код ей не отправлялся. Разблокируйте её в телефоне "
    "PUK-кодом с пластиковой карты-держателя SIM-карты.";
inline constexpr const char* NoSim = "SIM-карта не вставлена!";
inline constexpr const char* UnknownState = "Модем не сообщил состояние SIM-карты!";
inline constexpr const char* NotTurnedOff =
    "Запрос PIN-кода отключить не удалось! PIN-код принят, SIM-карта не заблокирована.";
inline constexpr const char* PortFailed = "Снятие PIN-кода прервано: ошибка СОМ-порта!";
inline constexpr const char* NotConfirmed = "Модем не подтвердил, что запрос PIN-кода отключён!";
inline constexpr const char* LastTry =
    "У SIM-карты осталась последняя попытка ввода PIN-кода. Если PIN-код неверен, карта "
    "заблокируется и понадобится PUK-код. Отправить PIN-код?";
inline constexpr const char* LastTryCaption = "Последняя попытка";
inline constexpr const char* Declined = "PIN-код не отправлен: осталась последняя попытка.";
}  // namespace PinMsg

// How many decimal digits a PIN has.
inline constexpr int ShortestPin = 4;
inline constexpr int LongestPin = 8;

// ShortestPin to LongestPin decimal digits.
bool gIsPinCode(const std::string& pin);

// The tries left of "+CPINR: SIM PIN,2,3"; -1 when the answer does not tell.
int gPinTriesLeft(const InfoReply& answer);

// The state word of a +CPIN? answer ("READY", "SIM PIN", ...); empty for no OK answer.
std::string gPinState(const InfoReply& answer);
