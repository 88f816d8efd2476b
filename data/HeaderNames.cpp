#include "data/HeaderNames.h"

#include <map>
#include <unordered_map>

const std::vector<ColumnName>& ColumnNames()
{
    using C = Column;
    // Ranks of a close: 0 its own name, 1 "close/last", 2 last or settlement,
    // 3 a price, 4 adjusted. Abbreviations are kept without their point.
    static const std::vector<ColumnName> names = {
        // English
        {"date", C::Date, 0, "English"},
        {"day", C::Date, 0, "English"},
        {"datetime", C::Date, 0, "English"},
        {"timestamp", C::Date, 0, "English"},
        {"tradedate", C::Date, 0, "English"},
        {"unix", C::Date, 0, "English"},
        {"unixtime", C::Date, 0, "English"},
        {"opentime", C::Date, 1, "English"},
        {"time", C::Time, 0, "English"},
        {"open", C::Open, 0, "English"},
        {"adjopen", C::Open, 1, "English"},
        {"high", C::High, 0, "English"},
        {"adjhigh", C::High, 1, "English"},
        {"low", C::Low, 0, "English"},
        {"adjlow", C::Low, 1, "English"},
        {"close", C::Close, 0, "English"},
        {"close/last", C::Close, 1, "English"},
        {"last/close", C::Close, 1, "English"},
        {"last", C::Close, 2, "English"},
        {"settle", C::Close, 2, "English"},
        {"settlement", C::Close, 2, "English"},
        {"closing", C::Close, 2, "English"},
        {"closeprice", C::Close, 2, "English"},
        {"lastprice", C::Close, 2, "English"},
        {"closingprice", C::Close, 2, "English"},
        {"price", C::Close, 3, "English"},
        {"adjclose", C::AdjClose, 4, "English"},
        {"adjustedclose", C::AdjClose, 4, "English"},
        {"volume", C::Volume, 0, "English"},
        {"vol", C::Volume, 0, "English"},
        // German
        {"datum", C::Date, 0, "German"},
        {"datum", C::Date, 0, "Dutch"},
        {"zeit", C::Time, 0, "German"},
        {"uhrzeit", C::Time, 0, "German"},
        {"eröffnung", C::Open, 0, "German"},
        {"eröffn", C::Open, 0, "German"},
        {"erster", C::Open, 0, "German"},
        {"anfang", C::Open, 0, "German"},
        {"hoch", C::High, 0, "German"},
        {"tageshoch", C::High, 0, "German"},
        {"tief", C::Low, 0, "German"},
        {"tagestief", C::Low, 0, "German"},
        {"schluss", C::Close, 0, "German"},
        {"schlusskurs", C::Close, 0, "German"},
        {"zuletzt", C::Close, 2, "German"},
        {"letzter", C::Close, 2, "German"},
        {"kurs", C::Close, 3, "German"},
        {"umsatz", C::Volume, 0, "German"},
        {"volumen", C::Volume, 0, "German"},
        {"schlusskursbereinigt", C::AdjClose, 4, "German"},
        // French
        {"heure", C::Time, 0, "French"},
        {"ouverture", C::Open, 0, "French"},
        {"ouv", C::Open, 0, "French"},
        {"plushaut", C::High, 0, "French"},
        {"haut", C::High, 0, "French"},
        {"plusbas", C::Low, 0, "French"},
        {"bas", C::Low, 0, "French"},
        {"clôture", C::Close, 0, "French"},
        {"cloture", C::Close, 0, "French"},
        {"fermeture", C::Close, 0, "French"},
        {"dernier", C::Close, 2, "French"},
        {"prix", C::Close, 3, "French"},
        {"clôtureajustée", C::AdjClose, 4, "French"},
        {"date", C::Date, 0, "French"},
        {"volume", C::Volume, 0, "French"},
        // Spanish
        {"fecha", C::Date, 0, "Spanish"},
        {"hora", C::Time, 0, "Spanish"},
        {"apertura", C::Open, 0, "Spanish"},
        {"máximo", C::High, 0, "Spanish"},
        {"maximo", C::High, 0, "Spanish"},
        {"máx", C::High, 0, "Spanish"},
        {"mínimo", C::Low, 0, "Spanish"},
        {"minimo", C::Low, 0, "Spanish"},
        {"mín", C::Low, 0, "Spanish"},
        {"cierre", C::Close, 0, "Spanish"},
        {"último", C::Close, 2, "Spanish"},
        {"precio", C::Close, 3, "Spanish"},
        {"cierreajustado", C::AdjClose, 4, "Spanish"},
        {"volumen", C::Volume, 0, "Spanish"},
        // Portuguese
        {"data", C::Date, 0, "Portuguese"},
        {"data", C::Date, 0, "Polish"},
        {"日期", C::Date, 0, "Chinese (traditional)"},
        {"成交量", C::Volume, 0, "Chinese (traditional)"},
        {"最高", C::High, 0, "Chinese (traditional)"},
        {"最低", C::Low, 0, "Chinese (traditional)"},
        {"abertura", C::Open, 0, "Portuguese"},
        {"máxima", C::High, 0, "Portuguese"},
        {"maxima", C::High, 0, "Portuguese"},
        {"mínima", C::Low, 0, "Portuguese"},
        {"minima", C::Low, 0, "Portuguese"},
        {"fechamento", C::Close, 0, "Portuguese"},
        {"fecho", C::Close, 0, "Portuguese"},
        {"ultimo", C::Close, 2, "Portuguese"},
        {"último", C::Close, 2, "Portuguese"},
        {"preço", C::Close, 3, "Portuguese"},
        {"fechamentoajustado", C::AdjClose, 4, "Portuguese"},
        {"volume", C::Volume, 0, "Portuguese"},
        // Italian
        {"ora", C::Time, 0, "Italian"},
        {"massimo", C::High, 0, "Italian"},
        {"chiusura", C::Close, 0, "Italian"},
        {"prezzo", C::Close, 3, "Italian"},
        {"chiusuraaggiustata", C::AdjClose, 4, "Italian"},
        {"volume", C::Volume, 0, "Italian"},
        {"data", C::Date, 0, "Italian"},
        {"apertura", C::Open, 0, "Italian"},
        {"minimo", C::Low, 0, "Italian"},
        {"ultimo", C::Close, 2, "Italian"},
        // Dutch
        {"tijd", C::Time, 0, "Dutch"},
        {"openen", C::Open, 0, "Dutch"},
        {"opening", C::Open, 0, "Dutch"},
        {"hoog", C::High, 0, "Dutch"},
        {"laag", C::Low, 0, "Dutch"},
        {"slot", C::Close, 0, "Dutch"},
        {"slotkoers", C::Close, 0, "Dutch"},
        {"laatst", C::Close, 2, "Dutch"},
        {"laatste", C::Close, 2, "Dutch"},
        {"koers", C::Close, 3, "Dutch"},
        {"aangepasteslot", C::AdjClose, 4, "Dutch"},
        {"volume", C::Volume, 0, "Dutch"},
        // Polish
        {"czas", C::Time, 0, "Polish"},
        {"otwarcie", C::Open, 0, "Polish"},
        {"najwyższy", C::High, 0, "Polish"},
        {"max", C::High, 0, "Polish"},
        {"najniższy", C::Low, 0, "Polish"},
        {"min", C::Low, 0, "Polish"},
        {"zamknięcie", C::Close, 0, "Polish"},
        {"zamkniecie", C::Close, 0, "Polish"},
        {"ostatnio", C::Close, 2, "Polish"},
        {"ostatni", C::Close, 2, "Polish"},
        {"cena", C::Close, 3, "Polish"},
        {"wolumen", C::Volume, 0, "Polish"},
        {"wol", C::Volume, 0, "Polish"},
        {"zamknięciekorygowane", C::AdjClose, 4, "Polish"},
        // Turkish
        {"tarih", C::Date, 0, "Turkish"},
        {"saat", C::Time, 0, "Turkish"},
        {"açılış", C::Open, 0, "Turkish"},
        {"açiliş", C::Open, 0, "Turkish"},
        {"acilis", C::Open, 0, "Turkish"},
        {"yüksek", C::High, 0, "Turkish"},
        {"yuksek", C::High, 0, "Turkish"},
        {"düşük", C::Low, 0, "Turkish"},
        {"dusuk", C::Low, 0, "Turkish"},
        {"kapanış", C::Close, 0, "Turkish"},
        {"kapaniş", C::Close, 0, "Turkish"},
        {"kapanis", C::Close, 0, "Turkish"},
        {"şimdi", C::Close, 2, "Turkish"},
        {"son", C::Close, 2, "Turkish"},
        {"fiyat", C::Close, 3, "Turkish"},
        {"hacim", C::Volume, 0, "Turkish"},
        {"hac", C::Volume, 0, "Turkish"},
        {"düzeltilmişkapanış", C::AdjClose, 4, "Turkish"},
        // Russian
        {"дата", C::Date, 0, "Russian"},
        {"время", C::Time, 0, "Russian"},
        {"откр", C::Open, 0, "Russian"},
        {"открытие", C::Open, 0, "Russian"},
        {"макс", C::High, 0, "Russian"},
        {"максимум", C::High, 0, "Russian"},
        {"мин", C::Low, 0, "Russian"},
        {"минимум", C::Low, 0, "Russian"},
        {"закр", C::Close, 0, "Russian"},
        {"закрытие", C::Close, 0, "Russian"},
        {"посл", C::Close, 2, "Russian"},
        {"последняя", C::Close, 2, "Russian"},
        {"цена", C::Close, 3, "Russian"},
        {"объём", C::Volume, 0, "Russian"},
        {"объем", C::Volume, 0, "Russian"},
        {"об", C::Volume, 0, "Russian"},
        {"скоррзакрытие", C::AdjClose, 4, "Russian"},
        // Chinese, simplified
        {"日期", C::Date, 0, "Chinese"},
        {"交易日期", C::Date, 0, "Chinese"},
        {"时间", C::Time, 0, "Chinese"},
        {"开盘", C::Open, 0, "Chinese"},
        {"开盘价", C::Open, 0, "Chinese"},
        {"今开", C::Open, 0, "Chinese"},
        {"最高", C::High, 0, "Chinese"},
        {"最高价", C::High, 0, "Chinese"},
        {"高", C::High, 1, "Chinese"},
        {"最低", C::Low, 0, "Chinese"},
        {"最低价", C::Low, 0, "Chinese"},
        {"低", C::Low, 1, "Chinese"},
        {"收盘", C::Close, 0, "Chinese"},
        {"收盘价", C::Close, 0, "Chinese"},
        {"最新价", C::Close, 2, "Chinese"},
        {"现价", C::Close, 2, "Chinese"},
        {"价格", C::Close, 3, "Chinese"},
        {"复权收盘价", C::AdjClose, 4, "Chinese"},
        {"成交量", C::Volume, 0, "Chinese"},
        {"交易量", C::Volume, 0, "Chinese"},
        // Chinese, traditional
        {"時間", C::Time, 0, "Chinese (traditional)"},
        {"開盤", C::Open, 0, "Chinese (traditional)"},
        {"開盤價", C::Open, 0, "Chinese (traditional)"},
        {"最高價", C::High, 0, "Chinese (traditional)"},
        {"最低價", C::Low, 0, "Chinese (traditional)"},
        {"收盤", C::Close, 0, "Chinese (traditional)"},
        {"收盤價", C::Close, 0, "Chinese (traditional)"},
        {"最新價", C::Close, 2, "Chinese (traditional)"},
        {"現價", C::Close, 2, "Chinese (traditional)"},
        {"價格", C::Close, 3, "Chinese (traditional)"},
        {"調整後收盤價", C::AdjClose, 4, "Chinese (traditional)"},
        {"成交量", C::Volume, 0, "Chinese (traditional)"},
        // Japanese
        {"日付", C::Date, 0, "Japanese"},
        {"日付け", C::Date, 0, "Japanese"},
        {"日時", C::Date, 0, "Japanese"},
        {"始値", C::Open, 0, "Japanese"},
        {"高値", C::High, 0, "Japanese"},
        {"安値", C::Low, 0, "Japanese"},
        {"終値", C::Close, 0, "Japanese"},
        {"現在値", C::Close, 2, "Japanese"},
        {"価格", C::Close, 3, "Japanese"},
        {"調整後終値", C::AdjClose, 4, "Japanese"},
        {"出来高", C::Volume, 0, "Japanese"},
        // Korean
        {"날짜", C::Date, 0, "Korean"},
        {"일자", C::Date, 0, "Korean"},
        {"시간", C::Time, 0, "Korean"},
        {"시가", C::Open, 0, "Korean"},
        {"오픈", C::Open, 0, "Korean"},
        {"고가", C::High, 0, "Korean"},
        {"저가", C::Low, 0, "Korean"},
        {"종가", C::Close, 0, "Korean"},
        {"현재가", C::Close, 2, "Korean"},
        {"가격", C::Close, 3, "Korean"},
        {"수정종가", C::AdjClose, 4, "Korean"},
        {"거래량", C::Volume, 0, "Korean"},
    };
    return names;
}

std::string NormalName(std::string_view field)
{
    QString s = QString::fromUtf8(field.data(), qsizetype(field.size())).toLower();
    QString out;
    out.reserve(s.size());
    for (QChar c : s) {
        const char16_t u = c.unicode();
        if (u == '<' || u == '>' || u == '"' || u == ' ' || u == '_' || u == '.' || u == '*' ||
            u == 0xFEFF || u == 0x3000 || u == '\t')
            continue;
        out += c;
    }
    return out.toStdString();
}

Column ColumnOf(const std::string& normal, int* rank)
{
    static const auto byName = [] {
        std::unordered_map<std::string, const ColumnName*> m;
        for (const ColumnName& n : ColumnNames())
            m.emplace(n.name, &n); // the first entry of a name shared by languages
        return m;
    }();
    const auto it = byName.find(normal);
    if (it == byName.end())
        return Column::None;
    if (rank)
        *rank = it->second->rank;
    return it->second->column;
}

QString HeaderLanguage(const std::vector<std::string>& normals)
{
    std::map<QString, int> votes;
    for (const std::string& n : normals)
        for (const ColumnName& c : ColumnNames())
            if (n == c.name)
                ++votes[QString::fromLatin1(c.language)];
    QString best;
    int most = 0;
    for (const auto& [language, n] : votes)
        if (n > most)
            best = language, most = n;
    return best;
}
