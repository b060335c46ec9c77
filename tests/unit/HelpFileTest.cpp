// The compiled help file: help.chm beside the program, opened through the reader that Windows'
// help viewer uses (the ITSS storage of itss.dll), must name its contents, index and first page,
// hold every page its contents and index point to, and every link of every page must lead to a
// file inside it.
#include "platform/Text.h"
#include "support/ChildProcess.h"

#include <gtest/gtest.h>

#include <objbase.h>

#include <cstdint>
#include <map>
#include <regex>
#include <set>
#include <string>
#include <vector>

// The ITSS storage factory of itss.dll; only the methods up to StgOpenStorage are declared. It is
// declared outside the anonymous namespace: an interface with internal linkage and no implementation
// in this file would let the compiler assume its methods are never called.
struct IITStorage : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE StgCreateDocfile(const WCHAR*, DWORD, DWORD, IStorage**) = 0;
    virtual HRESULT STDMETHODCALLTYPE StgCreateDocfileOnILockBytes(ILockBytes*, DWORD, DWORD, IStorage**) = 0;
    virtual HRESULT STDMETHODCALLTYPE StgIsStorageFile(const WCHAR*) = 0;
    virtual HRESULT STDMETHODCALLTYPE StgIsStorageILockBytes(ILockBytes*) = 0;
    virtual HRESULT STDMETHODCALLTYPE StgOpenStorage(const WCHAR* name, IStorage* priority, DWORD mode, SNB exclude,
                                                     DWORD reserved, IStorage** storage) = 0;
};

namespace {

constexpr CLSID kClsidITStorage = {0x5d02926a, 0x212e, 0x11d0, {0x9d, 0xf9, 0x00, 0xa0, 0xc9, 0x22, 0xe6, 0xec}};
constexpr IID kIidITStorage = {0x88cc31de, 0x27ab, 0x11d0, {0x9d, 0xf9, 0x00, 0xa0, 0xc9, 0x22, 0xe6, 0xec}};

template <class T> struct ComRelease {
    T* p = nullptr;
    ComRelease() = default;
    ComRelease(const ComRelease&) = delete;
    ComRelease& operator=(const ComRelease&) = delete;
    ~ComRelease() { Reset(); }
    void Reset() {
        if (p) {
            p->Release();
            p = nullptr;
        }
    }
};

std::string Lower(std::string text) {
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return text;
}

bool EndsWith(const std::string& text, const std::string& ending) {
    return text.size() >= ending.size() && text.compare(text.size() - ending.size(), ending.size(), ending) == 0;
}

// The first group of every match of the pattern in the text, in order.
std::vector<std::string> Matches(const std::string& text, const std::regex& pattern) {
    std::vector<std::string> values;
    for (auto it = std::sregex_iterator(text.begin(), text.end(), pattern); it != std::sregex_iterator(); ++it) {
        values.push_back((*it)[1].str());
    }
    return values;
}

const std::regex kLocalParam(R"re(<param\s+name\s*=\s*"Local"\s+value\s*=\s*"([^"]*)")re", std::regex::icase);
const std::regex kLinkAttribute(R"re(\b(?:href|src)\s*=\s*"([^"]*)")re", std::regex::icase);
const std::regex kTitle(R"re(<title>([^<]+)</title>)re", std::regex::icase);

// The file inside the help file that a link from one of its pages names; empty for a link that
// leaves the help file (a scheme such as http: or mailto:) or stays on its page (#anchor).
std::string LinkTarget(const std::string& link) {
    if (link.empty() || link.front() == '#' || link.find(':') != std::string::npos) {
        return {};
    }
    std::string target = link.substr(0, link.find('#'));
    if (target.rfind("./", 0) == 0) {
        target.erase(0, 2);
    }
    return Lower(target);
}

// help.chm read through ITSS: the names in its top folder (lower case) and the contents of each.
class CompiledHelp {
public:
    bool Open(const std::string& path) {
        ComRelease<IITStorage> factory;
        if (FAILED(CoCreateInstance(kClsidITStorage, nullptr, CLSCTX_INPROC_SERVER, kIidITStorage,
                                    reinterpret_cast<void**>(&factory.p)))) {
            return false;
        }
        if (FAILED(factory.p->StgOpenStorage(Widen(path).c_str(), nullptr, STGM_READ | STGM_SHARE_DENY_WRITE, nullptr,
                                             0, &root_.p))) {
            return false;
        }
        ComRelease<IEnumSTATSTG> elements;
        if (FAILED(root_.p->EnumElements(0, nullptr, 0, &elements.p))) {
            return false;
        }
        STATSTG element;
        ULONG fetched = 0; // Wine's enumerator writes the count without checking for null
        while (elements.p->Next(1, &element, &fetched) == S_OK && fetched == 1) {
            if (element.type == STGTY_STREAM) {
                streams_.insert(Lower(Narrow(element.pwcsName)));
            }
            CoTaskMemFree(element.pwcsName);
        }
        return true;
    }

    // Lets the file go; done before COM is uninitialized.
    void Close() { root_.Reset(); }

    const std::set<std::string>& Streams() const { return streams_; }
    bool Holds(const std::string& name) const { return streams_.count(Lower(name)) != 0; }

    std::string Read(const std::string& name) const {
        ComRelease<IStream> stream;
        std::string content;
        if (FAILED(root_.p->OpenStream(Widen(name).c_str(), nullptr, STGM_READ | STGM_SHARE_EXCLUSIVE, 0, &stream.p))) {
            return content;
        }
        char buffer[16384];
        ULONG read = 0;
        while (SUCCEEDED(stream.p->Read(buffer, sizeof buffer, &read)) && read > 0) {
            content.append(buffer, read);
        }
        return content;
    }

    // The texts of the #SYSTEM record: code 0 the contents file, 1 the index file, 2 the first
    // page, 3 the title.
    std::map<uint16_t, std::string> SystemTexts() const {
        std::string system = Read("#SYSTEM");
        std::map<uint16_t, std::string> texts;
        for (size_t at = 4; at + 4 <= system.size();) {
            auto word = [&system](size_t i) {
                return static_cast<uint16_t>(static_cast<uint8_t>(system[i]) +
                                             256 * static_cast<uint8_t>(system[i + 1]));
            };
            uint16_t code = word(at);
            uint16_t length = word(at + 2);
            if (at + 4 + length > system.size()) {
                break;
            }
            if (code <= 3) {
                std::string text = system.substr(at + 4, length);
                texts[code] = text.substr(0, text.find('\0'));
            }
            at += 4 + length;
        }
        return texts;
    }

private:
    ComRelease<IStorage> root_;
    std::set<std::string> streams_;
};

class HelpFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        HRESULT init = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        comInitialized_ = SUCCEEDED(init);
        ASSERT_TRUE(help_.Open(TestProgramFolder() + "help.chm")) << "help.chm cannot be opened through ITSS";
        system_ = help_.SystemTexts();
    }
    void TearDown() override {
        help_.Close();
        if (comInitialized_) {
            CoUninitialize();
        }
    }

    std::vector<std::string> Pages() const {
        std::vector<std::string> pages;
        for (const std::string& name : help_.Streams()) {
            if (EndsWith(name, ".htm") || EndsWith(name, ".html")) {
                pages.push_back(name);
            }
        }
        return pages;
    }

    CompiledHelp help_;
    std::map<uint16_t, std::string> system_;
    bool comInitialized_ = false;
};

TEST_F(HelpFileTest, NamesContentsIndexTitleAndFirstPageThatItHolds) {
    for (uint16_t code : {0, 1, 2, 3}) {
        ASSERT_FALSE(system_[code].empty()) << "#SYSTEM record " << code << " is missing";
    }
    EXPECT_TRUE(help_.Holds(system_[0])) << system_[0];
    EXPECT_TRUE(help_.Holds(system_[1])) << system_[1];
    EXPECT_TRUE(help_.Holds(system_[2])) << system_[2];
}

TEST_F(HelpFileTest, EveryEntryOfContentsAndIndexIsAPageInside) {
    for (uint16_t code : {0, 1}) {
        const std::string& file = system_[code];
        std::vector<std::string> locals = Matches(help_.Read(file), kLocalParam);
        EXPECT_FALSE(locals.empty()) << file << " names no page";
        for (const std::string& local : locals) {
            EXPECT_TRUE(help_.Holds(LinkTarget(local))) << file << " names " << local << ", which is not inside";
        }
    }
}

TEST_F(HelpFileTest, EveryPageIsInTheContentsHasATitleAndLinksOnlyToFilesInside) {
    std::set<std::string> inContents;
    for (const std::string& local : Matches(help_.Read(system_[0]), kLocalParam)) {
        inContents.insert(LinkTarget(local));
    }
    std::vector<std::string> pages = Pages();
    ASSERT_FALSE(pages.empty());
    for (const std::string& page : pages) {
        SCOPED_TRACE(page);
        std::string html = help_.Read(page);
        EXPECT_TRUE(inContents.count(page)) << "not reachable from the contents";
        EXPECT_TRUE(std::regex_search(html, kTitle)) << "no title";
        for (const std::string& link : Matches(html, kLinkAttribute)) {
            std::string target = LinkTarget(link);
            EXPECT_TRUE(target.empty() || help_.Holds(target)) << "links to " << link << ", which is not inside";
        }
    }
}

} // namespace
