#pragma once

#include <QHash>
#include <QString>
#include <QStringList>
#include <array>
#include <cstdint>
#include <memory>
#include <vector>

// Which characters and which languages each installed family covers, as fontconfig's caches
// tell them, kept small: the characters of a family are its pages of 256 code points, each page
// a bitmap held once however many families share it, and families with the same pages share one
// list of them. A family covers what any of its faces covers.
class FontCoverage {
public:
    // The characters of a text that a font must have: each code point once, in the order they
    // first come; blanks and line breaks are left out.
    static std::vector<char32_t> charactersOf(QStringView text);

    // The language codes fontconfig knows ("zh-cn"), in its order.
    const QStringList& languages() const { return languages_; }
    int languageIndex(const QString& code) const { return languages_.indexOf(code); }

    qsizetype familyCount() const { return families_.size(); }
    // A family's place by its first name; -1 when it is not covered here.
    int familyIndex(const QString& family) const { return index_.value(family, -1); }

    // Whether each family, by its place, has every one of characters and supports the language
    // (by its place in languages(); -1 for any).
    std::vector<bool> matching(const std::vector<char32_t>& characters, int language) const;
    bool hasCharacter(int family, char32_t c) const;
    // The codes of the languages a family supports, in fontconfig's order.
    QStringList languagesOf(int family) const;

    // Builds a coverage family by family.
    class Builder {
    public:
        explicit Builder(QStringList languages);
        ~Builder();
        // Starts the next family; its characters and languages follow until the next one. A
        // family started again adds to what it covered.
        void startFamily(const QString& family);
        // Adds one page of 256 code points from base, as eight words of 32 bits.
        void addPage(char32_t base, const std::uint32_t bits[8]);
        void addCharacter(char32_t c);
        void addLanguage(int language);
        FontCoverage build();

    private:
        void finishFamily();

        struct State;
        std::unique_ptr<State> state_;
    };

private:
    using Leaf = std::array<std::uint32_t, 8>;
    using LanguageBits = std::array<std::uint64_t, 4>;
    static constexpr int maxLanguages = 256;
    struct Page {
        std::uint32_t page; // the code point divided by 256
        std::uint32_t leaf; // its bitmap in leaves_
    };
    struct Family {
        std::uint32_t charset;   // its pages: pages_[charsetStart_[charset]...]
        std::uint32_t languages; // its languages in languageSets_
    };
    const Page* findPage(std::uint32_t charset, std::uint32_t page) const;

    QStringList languages_;
    QHash<QString, int> index_;
    std::vector<Family> families_;
    std::vector<Leaf> leaves_;
    std::vector<Page> pages_;
    std::vector<std::uint32_t> charsetStart_{0};
    std::vector<LanguageBits> languageSets_;
};
