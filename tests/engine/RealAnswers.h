#pragma once
// Answers that real modems gave, copied from public sources, each with where it comes from
// and the words the check and the meter must show for it. An answer is what a modem sends
// between the leading CR LF and its final "\r\n\r\nOK\r\n".
//   MM: ModemManager, src/tests/test-modem-helpers.c (linux-mobile-broadband/ModemManager),
//       its +CREG tables and its device-identifier and mm_parse_gsn tables, by the modem named.
//   FSO: freesmartphone.org, cornucopia/fsogsmd/tests/testatcommand.vala.
//   27.007: 3GPP TS 27.007, +CREG (7.2) and +CPIN (8.3), the forms the standard gives.
//   oFono: ofono, plugins/wavecom.c and gatchat/gatchat.c (its table of final responses).
//   none: no public capture found; the form as reported in issue 37.

#include <string>
#include <vector>

struct RealAnswer {
    const char* Source;
    std::string Answer;
    std::string Words;  // the item's value in the row, after "Регистрация в сети: " and the like
};

inline std::vector<RealAnswer> RegistrationAnswers() {
    std::vector<RealAnswer> answers = {
        {"MM CREG=1 solicited", "+CREG: 1,3", "регистрация отклонена"},
        {"MM CREG=1 unsolicited", "+CREG: 3", "регистрация отклонена"},
        {"MM Sierra Mercury", "+CREG: 1,1,84CD,00D30173", "домашняя сеть"},
        {"MM Sierra Mercury unsolicited", "+CREG: 1,84CD,00D30156", "домашняя сеть"},
        {"MM Sony Ericsson K850i", "+CREG: 2,1,\"CE00\",\"01CEAD8F\"", "домашняя сеть"},
        {"MM Sony Ericsson K850i unsolicited", "+CREG: 1,\"CE00\",\"00005449\"", "домашняя сеть"},
        {"MM Huawei E160G unregistered", "+CREG: 2,0,00,0", "не зарегистрирован"},
        {"MM Huawei E160G", "+CREG: 2,1,8BE3,2BAF", "домашняя сеть"},
        {"MM Huawei E160G unsolicited", "+CREG: 1,8BE3,2BAF", "домашняя сеть"},
        {"MM Huawei E160G unsolicited, 2010", "+CREG: 2,8BE3,2BAF", "поиск сети"},
        {"MM Sony Ericsson TM-506", "+CREG: 2,1,\"8BE3\",\"00002BAF\"", "домашняя сеть"},
        {"MM Novatel XU870 unregistered", "+CREG: 2,,", "поиск сети"},
        {"MM Iridium", "+CREG:002,001,\"18d8\",\"ffff\"", "домашняя сеть"},
        {"MM no leading zeros", "+CREG:2,1,0001,0010", "домашняя сеть"},
        {"MM leading zeros", "+CREG:002,001,\"0001\",\"0010\"", "домашняя сеть"},
        {"MM unsolicited, no leading zeros", "+CREG: 1,0001,0010,0", "домашняя сеть"},
        {"MM unsolicited, leading zeros", "+CREG: 001,\"0001\",\"0010\",000", "домашняя сеть"},
        {"MM u-blox TOBY-L2 on LTE", "+CREG: 2,6,\"8B37\",\"0A265185\",7", "домашняя сеть, только SMS"},
        {"MM u-blox TOBY-L2 unsolicited", "+CREG: 6,\"8B37\",\"0A265185\",7", "домашняя сеть, только SMS"},
        {"MM Sony Ericsson MD400", "+CREG: 2,5,\"0502\",\"0404736D\"", "роуминг"},
        {"MM +CREG then +CGREG", "+CREG: 5\r\n\r\n+CGREG: 0", "роуминг"},
        {"MM +CGREG then +CREG", "+CGREG: 0\r\n\r\n+CREG: 5", "роуминг"},
        {"MM Samsung Wave S8500", "+CREG: 2,1,000B,2816, B, C2816", "домашняя сеть"},
        {"MM Qualcomm Gobi 1000", "+CREG: 2,1,  0 5, 2715", "домашняя сеть"},
        {"MM unsolicited form, state 2", "+CREG: 2,0001,0010,0", "поиск сети"},
        {"MM unsolicited form, state 10", "+CREG: 10,0001,0010,0", "роуминг, CSFB не предпочтителен"},
        {"MM leading-zero form, state 11", "+CREG: 0011,\"0001\",\"0010\",000", "только местные услуги оператора (RLOS)"},
        {"27.007 <n>=3 with the cause of a rejection", "+CREG: 3,3,\"00C3\",\"0000A13B\",0,0,15",
         "регистрация отклонена"},
    };
    // Each state of 27.007 in both forms: the read form and the unsolicited one.
    const char* words[] = {"не зарегистрирован", "домашняя сеть", "поиск сети", "регистрация отклонена",
                           "неизвестно", "роуминг", "домашняя сеть, только SMS", "роуминг, только SMS",
                           "только экстренные вызовы", "домашняя сеть, CSFB не предпочтителен",
                           "роуминг, CSFB не предпочтителен", "только местные услуги оператора (RLOS)"};
    for (int stat = 0; stat <= 11; ++stat) {
        answers.push_back({"27.007 read form", "+CREG: 0," + std::to_string(stat), words[stat]});
        answers.push_back({"27.007 unsolicited form", "+CREG: " + std::to_string(stat), words[stat]});
    }
    return answers;
}

inline std::vector<RealAnswer> SimAnswers() {
    return {
        {"FSO", "+CPIN: READY", "готова"},
        {"FSO quoted", "+CPIN: \"SIM PIN\"", "нужен PIN-код"},
        {"issue 32: blanks before the code", "+CPIN:    SIM PUK", "нужен PUK-код"},
        {"27.007", "+CPIN: SIM PIN2", "нужен PIN2-код"},
        {"27.007", "+CPIN: SIM PUK2", "нужен PUK2-код"},
        {"27.007", "+CPIN: PH-SIM PIN", "нужен код привязки модема к SIM-карте (PH-SIM PIN)"},
        {"27.007", "+CPIN: PH-FSIM PIN", "нужен код привязки модема к первой SIM-карте (PH-FSIM PIN)"},
        {"27.007", "+CPIN: PH-FSIM PUK", "нужен PUK-код привязки модема к первой SIM-карте (PH-FSIM PUK)"},
        {"27.007", "+CPIN: PH-NET PIN", "нужен код разблокировки сети (PH-NET PIN)"},
        {"27.007", "+CPIN: PH-NET PUK", "нужен PUK-код разблокировки сети (PH-NET PUK)"},
        {"27.007", "+CPIN: PH-NETSUB PIN", "нужен код разблокировки подсети (PH-NETSUB PIN)"},
        {"27.007", "+CPIN: PH-NETSUB PUK", "нужен PUK-код разблокировки подсети (PH-NETSUB PUK)"},
        {"27.007", "+CPIN: PH-SP PIN", "нужен код разблокировки поставщика услуг (PH-SP PIN)"},
        {"27.007", "+CPIN: PH-SP PUK", "нужен PUK-код разблокировки поставщика услуг (PH-SP PUK)"},
        {"27.007", "+CPIN: PH-CORP PIN", "нужен корпоративный код разблокировки (PH-CORP PIN)"},
        {"27.007", "+CPIN: PH-CORP PUK", "нужен корпоративный PUK-код разблокировки (PH-CORP PUK)"},
    };
}

inline std::vector<RealAnswer> ImeiAnswers() {
    return {
        {"MM mm_parse_gsn, GSM IMEI", "354237065082227", "354237065082227"},
        {"MM mm_parse_gsn, IMEI and serial number", "356936001568843,NL2A62Z0N5", "356936001568843"},
        {"MM Huawei E1550", "235012412595195", "235012412595195"},
        {"MM Sierra USBConnect Mercury", "987866969112306", "987866969112306"},
        {"MM ZTE MF627", "023589923858188", "023589923858188"},
        {"MM Sony-Ericsson MD300", "349583712939483", "349583712939483"},
        {"MM Option iCON 7.2", "129512359199159,SE393939TS", "129512359199159"},
        {"MM ZTE MF622", "235251122555115", "235251122555115"},
        {"MM Option 452", "000125491259519,PH2155R3TR", "000125491259519"},
        {"MM Novatel XU870", "012051505051501", "012051505051501"},
        {"MM Zoom 4596", "239664699635121", "239664699635121"},
        {"MM Motorola ROKR E2", "\"626936926396996\"", "626936926396996"},
        {"MM Sony-Ericsson W580i", "012505051512505", "012505051512505"},
        {"MM Huawei E226", "232363662362362", "232363662362362"},
        {"27.007 +CGSN=1 form", "+CGSN: \"490154203237518\"", "490154203237518"},
        // CDMA modems answer with an ESN, which is no IMEI: the check says it cannot read it.
        {"MM C-MOTECH CDX-650 (CDMA ESN)", "0x3B0C4B98", "не удалось прочитать \"0x3B0C4B98\""},
        {"MM Huawei EC121 (CDMA ESN)", "12de4fa6", "не удалось прочитать \"12de4fa6\""},
    };
}

// Final result codes other than OK, as the answer to a question; the bytes after the echo.
struct RealRefusal {
    const char* Source;
    std::string Bytes;
    std::string Words;  // the item's value in the row
};

inline std::vector<RealRefusal> RefusalAnswers() {
    return {
        {"V.250", "\r\nERROR\r\n", "не поддерживается"},
        {"V.250 numeric", "4\r", "не поддерживается"},
        {"V.250", "\r\nNO CARRIER\r\n", "модем выдал сообщение \"NO CARRIER\""},
        {"V.250 numeric", "3\r", "модем выдал сообщение \"NO CARRIER\""},
        {"V.250", "\r\nBUSY\r\n", "модем выдал сообщение \"BUSY\""},
        {"V.250 numeric", "7\r", "модем выдал сообщение \"BUSY\""},
        {"V.250", "\r\nNO ANSWER\r\n", "модем выдал сообщение \"NO ANSWER\""},
        {"V.250 numeric", "8\r", "модем выдал сообщение \"NO ANSWER\""},
        {"V.250", "\r\nNO DIALTONE\r\n", "модем выдал сообщение \"NO DIALTONE\""},
        {"V.250 numeric", "6\r", "модем выдал сообщение \"NO DIALTONE\""},
        {"V.250", "\r\nCONNECT 9600\r\n", "модем выдал сообщение \"CONNECT 9600\""},
        {"27.007", "\r\n+CME ERROR: 4\r\n", "модем выдал сообщение \"+CME ERROR: 4\""},
        {"27.007, AT+CMEE=2", "\r\n+CME ERROR: operation not supported\r\n",
         "модем выдал сообщение \"+CME ERROR: operation not supported\""},
        {"27.007", "\r\n+CMS ERROR: 500\r\n", "модем выдал сообщение \"+CMS ERROR: 500\""},
        {"MM mm-serial-parsers.c", "\r\nCOMMAND NOT SUPPORT\r\n", "модем выдал сообщение \"COMMAND NOT SUPPORT\""},
        {"MM mm-serial-parsers.c, Motorola EZX", "\r\nMODEM ERROR: 5\r\n", "модем выдал сообщение \"MODEM ERROR: 5\""},
        {"issue 32: a stray line after ERROR", "\r\nERROR\r\n\r\nstray\r\n", "не поддерживается"},
        {"oFono gatchat.c; FSO fsogsmd final responses", "\r\n+EXT ERROR: 3\r\n",
         "модем выдал сообщение \"+EXT ERROR: 3\""},
        {"none (a V.250 modem's own final code)", "\r\nTOO MANY PARAMETERS\r\n",
         "модем выдал сообщение \"TOO MANY PARAMETERS\""},
        // Asked again a few times first, then shown as the modem said it.
        {"MM mm-serial-parsers.c, Huawei still starting", "\r\n+CME ERROR: 515\r\n",
         "модем выдал сообщение \"+CME ERROR: 515\""},
    };
}

// Whole replies with what other makers put around or instead of the answer. The tests
// send each in both forms (ATV1 "\r\nline\r\n" ... "\r\nOK\r\n", ATV0 "line\r\n" ... "0\r"),
// with and without the echo, in one piece and cut at every CR and every LF.
struct RealReply {
    const char* Source;
    const char* Command;             // without its CR
    std::vector<std::string> Lines;  // in the order sent; RING and NO CARRIER are result codes
    std::string Final;               // verbose; empty when the modem sends none
    std::string Words;               // the item's value in the check's row
};

inline std::vector<RealReply> QuirkReplies() {
    return {
        {"MM plugins/huawei: ^BOOT", "AT+CGMI", {"^BOOT:27710117,0,0,0,75", "huawei"}, "OK", "huawei"},
        {"MM plugins/huawei: ^RSSI", "AT+CSQ", {"^RSSI:18", "+CSQ: 18,99"}, "OK", "-77 дБм, хороший"},
        {"MM plugins/huawei: ^NWTIME", "AT+CGMM", {"^NWTIME:24/12/09,20:05:00+12,0", "E173"}, "OK", "E173"},
        {"MM plugins/zte: +ZEND", "AT+CGMR", {"+ZEND", "BD_MF627V1.0.0B03"}, "OK", "BD_MF627V1.0.0B03"},
        {"MM plugins/telit: +PSBEARER", "AT+CGSN", {"+PSBEARER: 1", "354237065082227"}, "OK", "354237065082227"},
        {"MM plugins/huawei: ^MODE before the SIM", "AT+CPIN?", {"^MODE:5,4", "+CPIN: READY"}, "OK", "готова"},
        {"27.007 +CLIP, V.250: a call that ends before the answer", "AT+CPIN?",
         {"RING", "+CLIP: \"+79001234567\",145", "NO CARRIER", "+CPIN: READY"}, "OK", "готова"},
        {"27.007 +CRING: a call that ends before the model", "AT+CGMM", {"+CRING: VOICE", "NO CARRIER", "MC55"},
         "OK", "MC55"},
        {"oFono plugins/wavecom.c: +CPIN: without OK", "AT+CPIN?", {"+CPIN: READY"}, "", "готова"},
        {"none: +CSQ without its prefix", "AT+CSQ", {"17,99"}, "OK", "-79 дБм, хороший"},
        {"none: +CGSN: IMEI...", "AT+CGSN", {"+CGSN: IMEI354237065082227"}, "OK", "354237065082227"},
        {"V.250 names the question +GSN: its answer's prefix is the answer", "AT+CGSN",
         {"+GSN: 354237065082227"}, "OK", "354237065082227"},
        {"none: the model in a list ending with MODEL=", "AT+CGMM",
         {"+CGMM: \"GSM900\",\"GSM1800\",\"GSM1900\",\"MODEL=V3\""}, "OK", "V3"},
        {"none: Revision:", "AT+CGMR", {"Revision: 1.0"}, "OK", "1.0"},
        {"V.250: a revision of one digit (ATV0 reads it as CONNECT when cut after its CR)", "AT+CGMR", {"1"},
         "OK", "1"},
        {"27.007: the registration after an unknown URC", "AT+CREG?", {"+ZUSIMR:2", "+CREG: 0,5"}, "OK", "роуминг"},
    };
}

// The numeric result code of a verbose one the tests send at ATV0; the words themselves
// for the finals that have no number.
inline std::string NumericFinal(const std::string& verbose) {
    if (verbose == "OK") return "0";
    if (verbose == "RING") return "2";
    if (verbose == "NO CARRIER") return "3";
    if (verbose == "ERROR") return "4";
    return "";
}

// The bytes of a reply in the verbose (ATV1) or numeric (ATV0) form.
inline std::string ReplyBytes(const RealReply& reply, bool verbose) {
    std::string bytes;
    auto line = [&](const std::string& text) {
        const std::string code = verbose ? "" : NumericFinal(text);
        bytes += verbose ? "\r\n" + text + "\r\n" : code.empty() ? text + "\r\n" : code + "\r";
    };
    for (const std::string& text : reply.Lines) line(text);
    if (!reply.Final.empty()) line(reply.Final);
    return bytes;
}
