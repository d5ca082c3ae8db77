#include "history/local_time.h"

#include <cstdio>

namespace relinka {

namespace {

constexpr std::int64_t kDay = 86'400;

struct Civil {
    std::int64_t year;
    int month, day;
};

std::int64_t floor_div(std::int64_t value, std::int64_t by) {
    const std::int64_t quotient = value / by;
    return quotient * by > value ? quotient - 1 : quotient;
}

// Days since 1970-01-01 of a date of the proleptic Gregorian calendar, and back (H. Hinnant's).
std::int64_t days_from_civil(std::int64_t year, int month, int day) {
    year -= month <= 2;
    const std::int64_t era = floor_div(year, 400);
    const std::int64_t year_of_era = year - era * 400;
    const std::int64_t day_of_year = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const std::int64_t day_of_era = year_of_era * 365 + year_of_era / 4 - year_of_era / 100 + day_of_year;
    return era * 146'097 + day_of_era - 719'468;
}

Civil civil_from_days(std::int64_t days) {
    days += 719'468;
    const std::int64_t era = floor_div(days, 146'097);
    const std::int64_t day_of_era = days - era * 146'097;
    const std::int64_t year_of_era =
        (day_of_era - day_of_era / 1460 + day_of_era / 36'524 - day_of_era / 146'096) / 365;
    const std::int64_t day_of_year = day_of_era - (365 * year_of_era + year_of_era / 4 - year_of_era / 100);
    const std::int64_t shifted_month = (5 * day_of_year + 2) / 153;
    const int day = static_cast<int>(day_of_year - (153 * shifted_month + 2) / 5 + 1);
    const int month = static_cast<int>(shifted_month < 10 ? shifted_month + 3 : shifted_month - 9);
    return {year_of_era + era * 400 + (month <= 2), month, day};
}

struct Fields {
    Civil date;
    int hour, minute, second;
};

Fields local_fields(LocalTime time) {
    const std::int64_t local = time.utc_seconds + std::int64_t{time.offset_minutes} * 60;
    const std::int64_t days = floor_div(local, kDay);
    const auto seconds = static_cast<int>(local - days * kDay);
    return {civil_from_days(days), seconds / 3600, seconds / 60 % 60, seconds % 60};
}

// `count` decimal digits at `at`, or -1.
int digits(std::string_view text, std::size_t at, std::size_t count) {
    int value = 0;
    for (std::size_t i = at; i < at + count; ++i) {
        if (text[i] < '0' || text[i] > '9') return -1;
        value = value * 10 + (text[i] - '0');
    }
    return value;
}

std::wstring widened(const char* ascii) {
    return std::wstring(ascii, ascii + std::char_traits<char>::length(ascii));
}

}  // namespace

std::string format_time(LocalTime time) {
    const Fields local = local_fields(time);
    const int offset = time.offset_minutes < 0 ? -time.offset_minutes : time.offset_minutes;
    char text[64];
    std::snprintf(text, sizeof text, "%04lld-%02d-%02d %02d:%02d:%02d %c%02d:%02d",
                  static_cast<long long>(local.date.year), local.date.month, local.date.day, local.hour,
                  local.minute, local.second, time.offset_minutes < 0 ? '-' : '+', offset / 60, offset % 60);
    return text;
}

std::optional<LocalTime> parse_time(std::string_view text) {
    // "YYYY-MM-DD hh:mm:ss +hh:mm"
    if (text.size() != 26 || text[4] != '-' || text[7] != '-' || text[10] != ' ' || text[13] != ':' ||
        text[16] != ':' || text[19] != ' ' || (text[20] != '+' && text[20] != '-') || text[23] != ':')
        return std::nullopt;
    const int year = digits(text, 0, 4), month = digits(text, 5, 2), day = digits(text, 8, 2);
    const int hour = digits(text, 11, 2), minute = digits(text, 14, 2), second = digits(text, 17, 2);
    const int offset_hours = digits(text, 21, 2), offset_minutes = digits(text, 24, 2);
    if (year < 0 || month < 1 || month > 12 || day < 1 || hour < 0 || hour > 23 || minute < 0 ||
        minute > 59 || second < 0 || second > 59 || offset_hours < 0 || offset_hours > 23 ||
        offset_minutes < 0 || offset_minutes > 59)
        return std::nullopt;
    const std::int64_t days = days_from_civil(year, month, day);
    const Civil back = civil_from_days(days);
    if (back.month != month || back.day != day) return std::nullopt;  // 31 April, 29 February 2027
    const int offset = (text[20] == '-' ? -1 : 1) * (offset_hours * 60 + offset_minutes);
    const std::int64_t local = days * kDay + hour * 3600 + minute * 60 + second;
    return LocalTime{local - std::int64_t{offset} * 60, offset};
}

std::wstring display_time(LocalTime time) {
    const Fields local = local_fields(time);
    char text[48];
    std::snprintf(text, sizeof text, "%02d/%02d/%04lld %02d:%02d:%02d", local.date.day, local.date.month,
                  static_cast<long long>(local.date.year), local.hour, local.minute, local.second);
    return widened(text);
}

std::wstring display_age(LocalTime time, LocalTime now) {
    const std::int64_t seconds = now.utc_seconds - time.utc_seconds;
    const std::int64_t minutes = seconds / 60, hours = minutes / 60, days = hours / 24;
    char text[64];
    if (minutes < 1)
        return L"há menos de 1 min";
    else if (hours < 1)
        std::snprintf(text, sizeof text, "%lld min", static_cast<long long>(minutes));
    else if (days < 1)
        std::snprintf(text, sizeof text, "%lld h %02lld min", static_cast<long long>(hours),
                      static_cast<long long>(minutes % 60));
    else
        std::snprintf(text, sizeof text, "%lld %s e %lld h", static_cast<long long>(days),
                      days == 1 ? "dia" : "dias", static_cast<long long>(hours % 24));
    return L"há " + widened(text);
}

}  // namespace relinka
