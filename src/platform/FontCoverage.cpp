#include "platform/FontCoverage.h"

#include <algorithm>
#include <map>
#include <unordered_map>

namespace {

// FNV-1a over 32-bit words: leaves and page lists are hashed only while they are interned.
std::uint64_t hashWords(const std::uint32_t* words, std::size_t count) {
    std::uint64_t hash = 14695981039346656037ull;
    for (std::size_t i = 0; i < count; ++i) {
        hash ^= words[i];
        hash *= 1099511628211ull;
    }
    return hash;
}

} // namespace

std::vector<char32_t> FontCoverage::charactersOf(QStringView text) {
    std::vector<char32_t> characters;
    for (qsizetype i = 0; i < text.size(); ++i) {
        char32_t c = text[i].unicode();
        if (QChar::isHighSurrogate(c) && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            c = QChar::surrogateToUcs4(text[i].unicode(), text[i + 1].unicode());
            ++i;
        }
        if (QChar::isSpace(c))
            continue;
        if (std::find(characters.begin(), characters.end(), c) == characters.end())
            characters.push_back(c);
    }
    return characters;
}

const FontCoverage::Page* FontCoverage::findPage(std::uint32_t charset, std::uint32_t page) const {
    const Page* first = pages_.data() + charsetStart_[charset];
    const Page* last = pages_.data() + charsetStart_[charset + 1];
    const Page* found = std::lower_bound(first, last, page,
                                         [](const Page& p, std::uint32_t n) { return p.page < n; });
    return found != last && found->page == page ? found : nullptr;
}

bool FontCoverage::hasCharacter(int family, char32_t c) const {
    if (family < 0 || std::size_t(family) >= families_.size())
        return false;
    const Page* page = findPage(families_[family].charset, c >> 8);
    return page && (leaves_[page->leaf][(c >> 5) & 7] >> (c & 31)) & 1;
}

std::vector<bool> FontCoverage::matching(const std::vector<char32_t>& characters,
                                         int language) const {
    // The text as the pages it needs, each with the bits it needs of them.
    std::map<std::uint32_t, Leaf> wanted;
    for (char32_t c : characters)
        wanted[c >> 8][(c >> 5) & 7] |= 1u << (c & 31);

    // Each list of pages is tried once, however many families share it.
    const std::size_t charsets = charsetStart_.size() - 1;
    std::vector<bool> charsetCovers(charsets, true);
    if (!wanted.empty()) {
        for (std::size_t set = 0; set < charsets; ++set) {
            for (const auto& [number, bits] : wanted) {
                const Page* page = findPage(std::uint32_t(set), number);
                bool has = page != nullptr;
                for (int w = 0; has && w < 8; ++w)
                    has = (leaves_[page->leaf][w] & bits[w]) == bits[w];
                if (!has) {
                    charsetCovers[set] = false;
                    break;
                }
            }
        }
    }

    std::vector<bool> result(families_.size());
    const bool anyLanguage = language < 0;
    if (!anyLanguage && language >= languages_.size())
        return result;
    for (std::size_t i = 0; i < families_.size(); ++i) {
        const Family& family = families_[i];
        result[i] = charsetCovers[family.charset] &&
                    (anyLanguage ||
                     (languageSets_[family.languages][language / 64] >> (language % 64)) & 1);
    }
    return result;
}

QStringList FontCoverage::languagesOf(int family) const {
    QStringList codes;
    if (family < 0 || std::size_t(family) >= families_.size())
        return codes;
    const LanguageBits& bits = languageSets_[families_[family].languages];
    for (int i = 0; i < languages_.size(); ++i)
        if ((bits[i / 64] >> (i % 64)) & 1)
            codes.append(languages_[i]);
    return codes;
}

// What only the building needs: the family being gathered, and the tables that find a leaf, a
// list of pages or a set of languages already held.
struct FontCoverage::Builder::State {
    FontCoverage coverage;
    bool open = false;
    QString family;
    std::map<std::uint32_t, Leaf> pages;
    LanguageBits languages{};
    std::unordered_multimap<std::uint64_t, std::uint32_t> leaves;
    std::unordered_multimap<std::uint64_t, std::uint32_t> charsets;
    std::unordered_multimap<std::uint64_t, std::uint32_t> languageSets;
};

FontCoverage::Builder::Builder(QStringList languages) : state_(std::make_unique<State>()) {
    // Only as many as a set of languages has room for; fontconfig knows some 250.
    if (languages.size() > maxLanguages)
        languages.resize(maxLanguages);
    state_->coverage.languages_ = std::move(languages);
}

FontCoverage::Builder::~Builder() = default;

void FontCoverage::Builder::startFamily(const QString& family) {
    finishFamily();
    State& s = *state_;
    s.open = true;
    s.family = family;
    // A family met again (its faces lie in more than one folder) goes on from what it covers.
    const FontCoverage& c = s.coverage;
    const auto known = c.index_.constFind(family);
    if (known == c.index_.constEnd())
        return;
    const Family& met = c.families_[*known];
    for (std::uint32_t i = c.charsetStart_[met.charset]; i < c.charsetStart_[met.charset + 1]; ++i)
        s.pages[c.pages_[i].page] = c.leaves_[c.pages_[i].leaf];
    s.languages = c.languageSets_[met.languages];
}

void FontCoverage::Builder::addPage(char32_t base, const std::uint32_t bits[8]) {
    Leaf& leaf = state_->pages[base >> 8];
    for (int w = 0; w < 8; ++w)
        leaf[w] |= bits[w];
}

void FontCoverage::Builder::addCharacter(char32_t c) {
    state_->pages[c >> 8][(c >> 5) & 7] |= 1u << (c & 31);
}

void FontCoverage::Builder::addLanguage(int language) {
    if (language >= 0 && language < maxLanguages)
        state_->languages[language / 64] |= std::uint64_t(1) << (language % 64);
}

void FontCoverage::Builder::finishFamily() {
    State& s = *state_;
    if (!s.open)
        return;
    s.open = false;
    FontCoverage& c = s.coverage;

    // Its pages, each leaf held once.
    const std::size_t start = c.pages_.size();
    for (const auto& [number, bits] : s.pages) {
        if (std::all_of(bits.begin(), bits.end(), [](std::uint32_t w) { return w == 0; }))
            continue;
        const std::uint64_t hash = hashWords(bits.data(), bits.size());
        std::uint32_t leaf = std::uint32_t(c.leaves_.size());
        for (auto [it, end] = s.leaves.equal_range(hash); it != end; ++it)
            if (c.leaves_[it->second] == bits) {
                leaf = it->second;
                break;
            }
        if (leaf == c.leaves_.size()) {
            c.leaves_.push_back(bits);
            s.leaves.emplace(hash, leaf);
        }
        c.pages_.push_back({number, leaf});
    }
    // The list of pages, held once: a family with the same pages as another shares them.
    const std::size_t count = c.pages_.size() - start;
    const auto* words = reinterpret_cast<const std::uint32_t*>(c.pages_.data() + start);
    const std::uint64_t hash = hashWords(words, count * 2);
    std::uint32_t charset = std::uint32_t(c.charsetStart_.size() - 1);
    for (auto [it, end] = s.charsets.equal_range(hash); it != end; ++it) {
        const std::uint32_t other = it->second;
        const std::size_t from = c.charsetStart_[other];
        if (c.charsetStart_[other + 1] - from == count &&
            std::equal(c.pages_.begin() + from, c.pages_.begin() + from + count,
                       c.pages_.begin() + start, [](const Page& a, const Page& b) {
                           return a.page == b.page && a.leaf == b.leaf;
                       })) {
            charset = other;
            break;
        }
    }
    if (charset == c.charsetStart_.size() - 1) {
        c.charsetStart_.push_back(std::uint32_t(c.pages_.size()));
        s.charsets.emplace(hash, charset);
    } else {
        c.pages_.resize(start);
    }

    const std::uint64_t languageHash = hashWords(
        reinterpret_cast<const std::uint32_t*>(s.languages.data()), s.languages.size() * 2);
    std::uint32_t languages = std::uint32_t(c.languageSets_.size());
    for (auto [it, end] = s.languageSets.equal_range(languageHash); it != end; ++it)
        if (c.languageSets_[it->second] == s.languages) {
            languages = it->second;
            break;
        }
    if (languages == c.languageSets_.size()) {
        c.languageSets_.push_back(s.languages);
        s.languageSets.emplace(languageHash, languages);
    }

    // A family met again keeps its first place and covers what it covered and more.
    const auto known = c.index_.constFind(s.family);
    if (known != c.index_.constEnd()) {
        c.families_[*known] = {charset, languages};
    } else {
        c.index_.insert(s.family, int(c.families_.size()));
        c.families_.push_back({charset, languages});
    }
    s.pages.clear();
    s.languages = {};
}

FontCoverage FontCoverage::Builder::build() {
    finishFamily();
    FontCoverage& c = state_->coverage;
    c.leaves_.shrink_to_fit();
    c.pages_.shrink_to_fit();
    c.charsetStart_.shrink_to_fit();
    c.languageSets_.shrink_to_fit();
    c.families_.shrink_to_fit();
    c.index_.squeeze();
    return std::move(c);
}
