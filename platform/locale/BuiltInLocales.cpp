#include "platform/locale/BuiltInLocales.h"

namespace platform {
namespace {

// Made from QLocale's answers with Qt 6.4 (CLDR 42).
constexpr BuiltInLocale kLocales[] = {
    {"C", u"", u"d MMM yyyy", u"dddd, d MMMM yyyy", u"HH:mm:ss",
     u"Sunday|Monday|Tuesday|Wednesday|Thursday|Friday|Saturday|"
     u"Sun|Mon|Tue|Wed|Thu|Fri|Sat|"
     u"January|February|March|April|May|June|July|August|September|October|November|December|"
     u"Jan|Feb|Mar|Apr|May|Jun|Jul|Aug|Sep|Oct|Nov|Dec|"
     u"January|February|March|April|May|June|July|August|September|October|November|December|"
     u"Jan|Feb|Mar|Apr|May|Jun|Jul|Aug|Sep|Oct|Nov|Dec|"
     u"AM|PM"},
    {"en_US en", u"English", u"M/d/yy", u"dddd, MMMM d, yyyy", u"h:mm:ss tt",
     u"Sunday|Monday|Tuesday|Wednesday|Thursday|Friday|Saturday|"
     u"Sun|Mon|Tue|Wed|Thu|Fri|Sat|"
     u"January|February|March|April|May|June|July|August|September|October|November|December|"
     u"Jan|Feb|Mar|Apr|May|Jun|Jul|Aug|Sep|Oct|Nov|Dec|"
     u"January|February|March|April|May|June|July|August|September|October|November|December|"
     u"Jan|Feb|Mar|Apr|May|Jun|Jul|Aug|Sep|Oct|Nov|Dec|"
     u"AM|PM"},
    {"en_GB", u"English", u"dd/MM/yyyy", u"dddd, d MMMM yyyy", u"HH:mm:ss",
     u"Sunday|Monday|Tuesday|Wednesday|Thursday|Friday|Saturday|"
     u"Sun|Mon|Tue|Wed|Thu|Fri|Sat|"
     u"January|February|March|April|May|June|July|August|September|October|November|December|"
     u"Jan|Feb|Mar|Apr|May|Jun|Jul|Aug|Sept|Oct|Nov|Dec|"
     u"January|February|March|April|May|June|July|August|September|October|November|December|"
     u"Jan|Feb|Mar|Apr|May|Jun|Jul|Aug|Sept|Oct|Nov|Dec|"
     u"am|pm"},
    {"de_DE de", u"German", u"dd.MM.yy", u"dddd, d. MMMM yyyy", u"HH:mm:ss",
     u"Sonntag|Montag|Dienstag|Mittwoch|Donnerstag|Freitag|Samstag|"
     u"So.|Mo.|Di.|Mi.|Do.|Fr.|Sa.|"
     u"Januar|Februar|März|April|Mai|Juni|Juli|August|September|Oktober|November|Dezember|"
     u"Jan.|Feb.|März|Apr.|Mai|Juni|Juli|Aug.|Sept.|Okt.|Nov.|Dez.|"
     u"Januar|Februar|März|April|Mai|Juni|Juli|August|September|Oktober|November|Dezember|"
     u"Jan|Feb|Mär|Apr|Mai|Jun|Jul|Aug|Sep|Okt|Nov|Dez|"
     u"AM|PM"},
    {"de_AT", u"German", u"dd.MM.yy", u"dddd, d. MMMM yyyy", u"HH:mm:ss",
     u"Sonntag|Montag|Dienstag|Mittwoch|Donnerstag|Freitag|Samstag|"
     u"So.|Mo.|Di.|Mi.|Do.|Fr.|Sa.|"
     u"Jänner|Februar|März|April|Mai|Juni|Juli|August|September|Oktober|November|Dezember|"
     u"Jän.|Feb.|März|Apr.|Mai|Juni|Juli|Aug.|Sep.|Okt.|Nov.|Dez.|"
     u"Jänner|Februar|März|April|Mai|Juni|Juli|August|September|Oktober|November|Dezember|"
     u"Jän|Feb|Mär|Apr|Mai|Jun|Jul|Aug|Sep|Okt|Nov|Dez|"
     u"AM|PM"},
    {"de_CH", u"German", u"dd.MM.yy", u"dddd, d. MMMM yyyy", u"HH:mm:ss",
     u"Sonntag|Montag|Dienstag|Mittwoch|Donnerstag|Freitag|Samstag|"
     u"So.|Mo.|Di.|Mi.|Do.|Fr.|Sa.|"
     u"Januar|Februar|März|April|Mai|Juni|Juli|August|September|Oktober|November|Dezember|"
     u"Jan.|Feb.|März|Apr.|Mai|Juni|Juli|Aug.|Sept.|Okt.|Nov.|Dez.|"
     u"Januar|Februar|März|April|Mai|Juni|Juli|August|September|Oktober|November|Dezember|"
     u"Jan|Feb|Mär|Apr|Mai|Jun|Jul|Aug|Sep|Okt|Nov|Dez|"
     u"AM|PM"},
    {"fr_FR fr", u"French", u"dd/MM/yyyy", u"dddd d MMMM yyyy", u"HH:mm:ss",
     u"dimanche|lundi|mardi|mercredi|jeudi|vendredi|samedi|"
     u"dim.|lun.|mar.|mer.|jeu.|ven.|sam.|"
     u"janvier|février|mars|avril|mai|juin|juillet|août|septembre|octobre|novembre|décembre|"
     u"janv.|févr.|mars|avr.|mai|juin|juil.|août|sept.|oct.|nov.|déc.|"
     u"janvier|février|mars|avril|mai|juin|juillet|août|septembre|octobre|novembre|décembre|"
     u"janv.|févr.|mars|avr.|mai|juin|juil.|août|sept.|oct.|nov.|déc.|"
     u"AM|PM"},
    {"es_ES es", u"Spanish", u"d/M/yy", u"dddd, d 'de' MMMM 'de' yyyy", u"H:mm:ss",
     u"domingo|lunes|martes|miércoles|jueves|viernes|sábado|"
     u"dom|lun|mar|mié|jue|vie|sáb|"
     u"enero|febrero|marzo|abril|mayo|junio|julio|agosto|septiembre|octubre|noviembre|diciembre|"
     u"ene|feb|mar|abr|may|jun|jul|ago|sept|oct|nov|dic|"
     u"enero|febrero|marzo|abril|mayo|junio|julio|agosto|septiembre|octubre|noviembre|diciembre|"
     u"ene|feb|mar|abr|may|jun|jul|ago|sept|oct|nov|dic|"
     u"a. m.|p. m."},
    {"it_IT it", u"Italian", u"dd/MM/yy", u"dddd d MMMM yyyy", u"HH:mm:ss",
     u"domenica|lunedì|martedì|mercoledì|giovedì|venerdì|sabato|"
     u"dom|lun|mar|mer|gio|ven|sab|"
     u"gennaio|febbraio|marzo|aprile|maggio|giugno|luglio|agosto|settembre|ottobre|novembre|dicembre|"
     u"gen|feb|mar|apr|mag|giu|lug|ago|set|ott|nov|dic|"
     u"gennaio|febbraio|marzo|aprile|maggio|giugno|luglio|agosto|settembre|ottobre|novembre|dicembre|"
     u"gen|feb|mar|apr|mag|giu|lug|ago|set|ott|nov|dic|"
     u"AM|PM"},
    {"pt_BR pt", u"Portuguese", u"dd/MM/yyyy", u"dddd, d 'de' MMMM 'de' yyyy", u"HH:mm:ss",
     u"domingo|segunda-feira|terça-feira|quarta-feira|quinta-feira|sexta-feira|sábado|"
     u"dom.|seg.|ter.|qua.|qui.|sex.|sáb.|"
     u"janeiro|fevereiro|março|abril|maio|junho|julho|agosto|setembro|outubro|novembro|dezembro|"
     u"jan.|fev.|mar.|abr.|mai.|jun.|jul.|ago.|set.|out.|nov.|dez.|"
     u"janeiro|fevereiro|março|abril|maio|junho|julho|agosto|setembro|outubro|novembro|dezembro|"
     u"jan.|fev.|mar.|abr.|mai.|jun.|jul.|ago.|set.|out.|nov.|dez.|"
     u"AM|PM"},
    {"pt_PT", u"Portuguese", u"dd/MM/yy", u"dddd, d 'de' MMMM 'de' yyyy", u"HH:mm:ss",
     u"domingo|segunda-feira|terça-feira|quarta-feira|quinta-feira|sexta-feira|sábado|"
     u"domingo|segunda|terça|quarta|quinta|sexta|sábado|"
     u"janeiro|fevereiro|março|abril|maio|junho|julho|agosto|setembro|outubro|novembro|dezembro|"
     u"jan.|fev.|mar.|abr.|mai.|jun.|jul.|ago.|set.|out.|nov.|dez.|"
     u"janeiro|fevereiro|março|abril|maio|junho|julho|agosto|setembro|outubro|novembro|dezembro|"
     u"jan.|fev.|mar.|abr.|mai.|jun.|jul.|ago.|set.|out.|nov.|dez.|"
     u"da manhã|da tarde"},
    {"nl_NL nl", u"Dutch", u"dd-MM-yyyy", u"dddd d MMMM yyyy", u"HH:mm:ss",
     u"zondag|maandag|dinsdag|woensdag|donderdag|vrijdag|zaterdag|"
     u"zo|ma|di|wo|do|vr|za|"
     u"januari|februari|maart|april|mei|juni|juli|augustus|september|oktober|november|december|"
     u"jan.|feb.|mrt.|apr.|mei|jun.|jul.|aug.|sep.|okt.|nov.|dec.|"
     u"januari|februari|maart|april|mei|juni|juli|augustus|september|oktober|november|december|"
     u"jan.|feb.|mrt.|apr.|mei|jun.|jul.|aug.|sep.|okt.|nov.|dec.|"
     u"a.m.|p.m."},
    {"nl_BE", u"Dutch", u"d/MM/yyyy", u"dddd d MMMM yyyy", u"HH:mm:ss",
     u"zondag|maandag|dinsdag|woensdag|donderdag|vrijdag|zaterdag|"
     u"zo|ma|di|wo|do|vr|za|"
     u"januari|februari|maart|april|mei|juni|juli|augustus|september|oktober|november|december|"
     u"jan.|feb.|mrt.|apr.|mei|jun.|jul.|aug.|sep.|okt.|nov.|dec.|"
     u"januari|februari|maart|april|mei|juni|juli|augustus|september|oktober|november|december|"
     u"jan.|feb.|mrt.|apr.|mei|jun.|jul.|aug.|sep.|okt.|nov.|dec.|"
     u"a.m.|p.m."},
    {"pl_PL pl", u"Polish", u"d.MM.yyyy", u"dddd, d MMMM yyyy", u"HH:mm:ss",
     u"niedziela|poniedziałek|wtorek|środa|czwartek|piątek|sobota|"
     u"niedz.|pon.|wt.|śr.|czw.|pt.|sob.|"
     u"stycznia|lutego|marca|kwietnia|maja|czerwca|lipca|sierpnia|września|października|listopada|grudnia|"
     u"sty|lut|mar|kwi|maj|cze|lip|sie|wrz|paź|lis|gru|"
     u"styczeń|luty|marzec|kwiecień|maj|czerwiec|lipiec|sierpień|wrzesień|październik|listopad|grudzień|"
     u"sty|lut|mar|kwi|maj|cze|lip|sie|wrz|paź|lis|gru|"
     u"AM|PM"},
    {"ru_RU ru", u"Russian", u"dd.MM.yyyy", u"dddd, d MMMM yyyy 'г'.", u"HH:mm:ss",
     u"воскресенье|понедельник|вторник|среда|четверг|пятница|суббота|"
     u"вс|пн|вт|ср|чт|пт|сб|"
     u"января|февраля|марта|апреля|мая|июня|июля|августа|сентября|октября|ноября|декабря|"
     u"янв.|февр.|мар.|апр.|мая|июн.|июл.|авг.|сент.|окт.|нояб.|дек.|"
     u"январь|февраль|март|апрель|май|июнь|июль|август|сентябрь|октябрь|ноябрь|декабрь|"
     u"янв.|февр.|март|апр.|май|июнь|июль|авг.|сент.|окт.|нояб.|дек.|"
     u"AM|PM"},
    {"ja_JP ja", u"Japanese", u"yyyy/MM/dd", u"yyyy'年'M'月'd'日'dddd", u"H:mm:ss",
     u"日曜日|月曜日|火曜日|水曜日|木曜日|金曜日|土曜日|"
     u"日|月|火|水|木|金|土|"
     u"1月|2月|3月|4月|5月|6月|7月|8月|9月|10月|11月|12月|"
     u"1月|2月|3月|4月|5月|6月|7月|8月|9月|10月|11月|12月|"
     u"1月|2月|3月|4月|5月|6月|7月|8月|9月|10月|11月|12月|"
     u"1月|2月|3月|4月|5月|6月|7月|8月|9月|10月|11月|12月|"
     u"午前|午後"},
};

}  // namespace

const BuiltInLocale* FindBuiltInLocale(std::string_view base) {
  for (const BuiltInLocale& row : kLocales) {
    std::string_view names = row.names;
    while (!names.empty()) {
      const std::size_t space = names.find(' ');
      if (names.substr(0, space) == base) return &row;
      names = space == std::string_view::npos ? std::string_view() : names.substr(space + 1);
    }
  }
  return nullptr;
}

std::span<const BuiltInLocale> BuiltInLocales() {
  return kLocales;
}

}  // namespace platform
