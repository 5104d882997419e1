#include "records/database_location.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <optional>

#include "resources/records_server_strings.h"
#include "resources/strings.h"

namespace records {

namespace {

constexpr std::string_view schemes[] = {"postgresql://", "postgres://"};

// The options passed on to the client library: the TLS settings.
constexpr std::array<std::string_view, 5> passed_options = {"sslmode", "sslrootcert", "sslcert", "sslkey", "sslcrl"};

// Undoes %XX escapes; nothing when an escape cannot be read.
std::optional<std::string> percent_decoded(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') {
            out += text[i];
            continue;
        }
        if (i + 2 >= text.size() || !std::isxdigit(static_cast<unsigned char>(text[i + 1])) ||
            !std::isxdigit(static_cast<unsigned char>(text[i + 2])))
            return std::nullopt;
        out += static_cast<char>(std::stoi(std::string(text.substr(i + 1, 2)), nullptr, 16));
        i += 2;
    }
    return out;
}

std::string_view scheme_of(std::string_view text) {
    for (std::string_view scheme : schemes)
        if (text.size() >= scheme.size() &&
            std::equal(scheme.begin(), scheme.end(), text.begin(),
                       [](char a, char b) { return a == std::tolower(static_cast<unsigned char>(b)); }))
            return text.substr(0, scheme.size());
    return {};
}

}  // namespace

bool is_server_address(std::string_view text) { return !scheme_of(text).empty(); }

std::string without_password(const std::string& text) {
    const std::size_t start = scheme_of(text).size();
    if (start == 0) return text;
    std::string shown = text;
    // USER:PASSWORD@ before the host
    const std::size_t end = shown.find_first_of("/?", start);
    const std::size_t at = shown.rfind('@', end == std::string::npos ? std::string::npos : end);
    if (at != std::string::npos && at >= start) {
        const std::size_t colon = shown.find(':', start);
        if (colon != std::string::npos && colon < at) shown.erase(colon, at - colon);
    }
    // password=... among the options
    if (const std::size_t mark = shown.find('?'); mark != std::string::npos) {
        std::string kept;
        std::string_view query = std::string_view(shown).substr(mark + 1);
        while (!query.empty()) {
            const std::size_t amp = query.find('&');
            const std::string_view pair = query.substr(0, amp);
            query = amp == std::string_view::npos ? std::string_view() : query.substr(amp + 1);
            if (pair.substr(0, pair.find('=')) == "password") continue;
            kept += (kept.empty() ? "" : "&") + std::string(pair);
        }
        shown = shown.substr(0, mark) + (kept.empty() ? "" : "?" + kept);
    }
    return shown;
}

Location_result parse_location(const std::string& text) {
    Location_result result;
    Database_location& l = result.location;
    l.text = text;
    if (!is_server_address(text)) {
        l.file = text;
        result.ok = true;
        return result;
    }
    l.kind = Database_location::Kind::server;
    const std::string shown = without_password(text);
    auto refuse = [&result, &shown](const std::string& reason) {
        result.ok = false;
        result.error = res::format(res::IDS_BAD_ADDRESS, shown, reason);
        return result;
    };
    if (shown != text) {
        result.error = res::format(res::IDS_ADDRESS_HOLDS_PASSWORD, shown);
        return result;
    }
    std::string_view rest = std::string_view(text).substr(scheme_of(text).size());

    // USER@HOST[:PORT]/DBNAME[?OPTIONS]
    std::string_view query;
    if (const std::size_t mark = rest.find('?'); mark != std::string_view::npos) {
        query = rest.substr(mark + 1);
        rest = rest.substr(0, mark);
    }
    const std::size_t slash = rest.find('/');
    const std::string_view authority = rest.substr(0, slash);
    const std::string_view name = slash == std::string_view::npos ? std::string_view() : rest.substr(slash + 1);
    const std::size_t at = authority.rfind('@');
    if (at == std::string_view::npos || at == 0) return refuse(res::str(res::IDS_ADDRESS_NO_USER));
    std::string_view host = authority.substr(at + 1);
    std::string_view port;
    if (!host.empty() && host.front() == '[') {
        const std::size_t close = host.find(']');
        if (close == std::string_view::npos) return refuse(res::str(res::IDS_ADDRESS_NO_HOST));
        if (close + 1 < host.size()) {
            if (host[close + 1] != ':') return refuse(res::str(res::IDS_ADDRESS_BAD_PORT));
            port = host.substr(close + 2);
        }
        host = host.substr(1, close - 1);
    } else if (const std::size_t colon = host.rfind(':'); colon != std::string_view::npos) {
        port = host.substr(colon + 1);
        host = host.substr(0, colon);
    }
    const auto user = percent_decoded(authority.substr(0, at));
    const auto host_text = percent_decoded(host);
    const auto database = percent_decoded(name);
    if (!user || !host_text || !database) return refuse(res::str(res::IDS_ADDRESS_BAD_ESCAPE));
    if (host_text->empty()) return refuse(res::str(res::IDS_ADDRESS_NO_HOST));
    if (database->empty() || database->find('/') != std::string::npos)
        return refuse(res::str(res::IDS_ADDRESS_NO_DATABASE));
    if (port.data() != nullptr) {
        const bool digits = !port.empty() && port.size() <= 5 &&
                            std::all_of(port.begin(), port.end(), [](char c) { return c >= '0' && c <= '9'; });
        const int number = digits ? std::stoi(std::string(port)) : 0;
        if (number < 1 || number > 65535) return refuse(res::str(res::IDS_ADDRESS_BAD_PORT));
        l.port = number;
    }
    l.user = *user;
    l.host = *host_text;
    l.database = *database;

    while (!query.empty()) {
        const std::size_t amp = query.find('&');
        const std::string_view pair = query.substr(0, amp);
        query = amp == std::string_view::npos ? std::string_view() : query.substr(amp + 1);
        if (pair.empty()) continue;
        const std::size_t equals = pair.find('=');
        const auto key = percent_decoded(pair.substr(0, equals));
        const auto value = percent_decoded(equals == std::string_view::npos ? std::string_view() : pair.substr(equals + 1));
        if (!key || !value) return refuse(res::str(res::IDS_ADDRESS_BAD_ESCAPE));
        if (std::find(passed_options.begin(), passed_options.end(), *key) == passed_options.end())
            return refuse(res::format(res::IDS_ADDRESS_UNKNOWN_OPTION, *key));
        l.options.emplace_back(*key, *value);
    }
    result.ok = true;
    return result;
}

}  // namespace records
