#pragma once

#include "platform/FontSystem.h"

#include <QSet>

class FontconfigFontSystem final : public FontSystem {
public:
    // What a program that lists fonts needs at start, besides the interface faces.
    enum class Start { ListingFonts, InterfaceOnly };
    // Shows the toolkit only the faces the interface draws with, and the few faces that hold
    // every character those lack and some installed font holds (its fallbacks), so that it does
    // not build its own table of every installed font at start and does not search all of them
    // each time a face is first drawn; every other family is handed to it by prepareToDraw(),
    // even one with a fallback face among those shown (for its other faces). Called
    // before the application object exists. When listing fonts, the font table is read then,
    // while the process is small: fontconfig's full table is let go once it has been read.
    static void showToolkitOnlyInterfaceFaces(Start start = Start::ListingFonts);
    // The faces fontconfig picks for the interface: for Latin ("sans-serif") and for Chinese
    // ("sans-serif:lang=zh-cn"), and whether the latter really covers Chinese. Asked once.
    struct InterfaceFaces {
        QString latin;
        QString chinese;
        bool chineseCovered = false;
    };
    static InterfaceFaces interfaceFaces();

    QStringList families() override;
    QList<FamilyNames> familyNames() override;
    QStringList familyFiles(const QString& family) override;
    QList<FileDetails> familyDetails(const QString& family) override;
    // The details of one font file.
    static FileDetails fileDetails(const QString& path);
    std::shared_ptr<const FontCoverage> coverage() override;
    void prepareToDraw(const QString& family) override;
    void rescan() override;
    Result installFile(const QString& path) override;
    QStringList familiesRemovedWith(const QString& family) override;
    Result removeFamily(const QString& family) override;
    QString userFontsFolder() override;
    QStringList disabledFamilies() override;
    Result disableFamily(const QString& family) override;
    Result enableFamily(const QString& family) override;
    QString disabledFamiliesFile() override;
    QList<DuplicateGroup> duplicateFonts() override;
    Result removeFile(const QString& path) override;

    // The first family name fontconfig reports for a font file; empty when it is no font.
    static QString familyOfFile(const QString& path);
};
