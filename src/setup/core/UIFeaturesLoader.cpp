// Reading the UI description and the template files it names into the feature tree.
#include "chipdef/ChipDefBase.h"
#include "setup/core/UIFeatures.h"

#include <expat.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <sys/stat.h>

namespace {

constexpr size_t kReadChunk = 1024;
constexpr off_t kMaxTemplateFileSize = 16 << 20;

const char* Attribute(const char** atts, const char* name) {
    for (size_t i = 0; atts[i] != nullptr; i += 2) {
        if (std::strcmp(atts[i], name) == 0) {
            return atts[i + 1];
        }
    }
    return nullptr;
}

std::string Text(const char* value) {
    return value != nullptr ? std::string(value) : std::string();
}

void XMLCALL StartHandler(void* user, const XML_Char* name, const XML_Char** atts) {
    static_cast<UIFeatures*>(user)->OnStartElement(name, atts);
}

void XMLCALL EndHandler(void* user, const XML_Char* name) {
    static_cast<UIFeatures*>(user)->OnEndElement(name);
}

struct ParserDeleter {
    void operator()(XML_Parser parser) const { XML_ParserFree(parser); }
};
using ParserPtr = std::unique_ptr<std::remove_pointer_t<XML_Parser>, ParserDeleter>;

ParserPtr MakeParser(UIFeatures* model) {
    ParserPtr parser(XML_ParserCreate(nullptr));
    if (parser) {
        XML_SetUserData(parser.get(), model);
        XML_SetElementHandler(parser.get(), StartHandler, EndHandler);
    }
    return parser;
}

uint32_t ParseDecimal(const char*& text) {
    uint64_t value = 0;
    while (*text >= '0' && *text <= '9') {
        value = value * 10 + static_cast<uint64_t>(*text - '0');
        if (value > UINT32_MAX) {
            value = UINT32_MAX;
        }
        ++text;
    }
    return static_cast<uint32_t>(value);
}

} // namespace

bool IsTemplateVersionAccepted(const char* fileVer, uint32_t version) {
    if (fileVer == nullptr) {
        return true;
    }
    const char* p = fileVer;
    const uint32_t first = ParseDecimal(p);
    if (p != fileVer && *p == '+' && p[1] == '\0') {
        return version >= first;
    }
    if (p != fileVer && *p == '-') {
        const char* q = p + 1;
        const uint32_t last = ParseDecimal(q);
        if (q != p + 1 && *q == '\0' && first != 0 && last != 0 && first < last) {
            return version >= first && version <= last;
        }
    }
    p = fileVer;
    while (*p != '\0') {
        if (*p == ' ' || *p == ',') {
            ++p;
            continue;
        }
        const char* start = p;
        const uint32_t number = ParseDecimal(p);
        if (p != start && number == version) {
            return true;
        }
        while (*p != '\0' && *p != ' ' && *p != ',') {
            ++p; // the rest of the word is not part of its number
        }
    }
    return false;
}

bool UIFeatures::ParseText(const char* text, size_t length) {
    ParserPtr parser = MakeParser(this);
    if (!parser) {
        return false;
    }
    bool ok = true;
    size_t done = 0;
    while (ok && done < length) {
        const size_t chunk = std::min(kReadChunk, length - done);
        ok = XML_Parse(parser.get(), text + done, static_cast<int>(chunk), 0) != XML_STATUS_ERROR;
        done += chunk;
    }
    if (ok) {
        ok = XML_Parse(parser.get(), "", 0, 1) != XML_STATUS_ERROR;
    }
    if (!ok) {
        AddDiagnostic("UI ERROR: XML error at line %lu: %s\n",
                      static_cast<unsigned long>(XML_GetCurrentLineNumber(parser.get())),
                      XML_ErrorString(XML_GetErrorCode(parser.get())));
    }
    return ok;
}

void UIFeatures::LoadDefinition(std::string_view description) {
    m_InTemplateFile = false;
    ParseText(description.data(), description.size());
    if (m_CurrentDepth != 0 || m_IgnoreDepth != 0) {
        AddDiagnostic("UI ERROR: the UI description ends inside an item.\n");
    }
    while (!m_TemplatesToLoad.empty()) {
        TreeHandle item = m_TemplatesToLoad.back();
        m_TemplatesToLoad.pop_back();
        LoadTemplateFile(item);
    }
}

void UIFeatures::LoadTemplateFile(TreeHandle item) {
    UIFeature& record = Data(item);
    FILE* file = std::fopen(record.TemplateFile.c_str(), "rb");
    if (file == nullptr) {
        if (const char* folder = std::getenv("ConfigTemplatePath"); folder != nullptr) {
            std::string path = folder;
            if (!path.empty() && path.back() != '/') {
                path += '/';
            }
            path += record.TemplateFile;
            file = std::fopen(path.c_str(), "rb");
        }
    }
    if (file == nullptr) {
        record.HasTemplateFile = 0;
        return;
    }
    // Only a regular file of a sane size is read: a name may point at a device or a pipe.
    struct stat info {};
    if (fstat(fileno(file), &info) != 0 || !S_ISREG(info.st_mode) ||
        info.st_size > kMaxTemplateFileSize) {
        std::fclose(file);
        AddDiagnostic("UI ERROR: %s is not a template file that can be read.\n",
                      record.TemplateFile.c_str());
        record.HasTemplateFile = 0;
        return;
    }
    std::string text;
    char chunk[kReadChunk];
    size_t got = 0;
    while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0) {
        text.append(chunk, got);
    }
    std::fclose(file);
    m_CurrentNode = item;
    m_InTemplateFile = true;
    m_Scrambled = false;
    m_InTemplate = false;
    m_IgnoreDepth = 0;
    ParseText(text.data(), text.size());
    m_InTemplateFile = false;
    m_IgnoreDepth = 0;
}

void UIFeatures::PlaceNode(UIFeature* record) {
    TreeHandle node = m_CurrentNode;
    if (m_AddMode == 0 || node == nullptr) {
        if (!GetRoot(node)) {
            node = CreateRoot();
        } else {
            while (ToNext(node)) {
            }
            AddNext(node);
        }
    } else if (m_AddMode == 1) {
        AddChild(node);
    } else {
        AddNext(node);
    }
    SetData(node, record);
    m_CurrentNode = node;
}

void UIFeatures::StartItem(const char** atts) {
    ++m_CurrentDepth;
    if (m_IgnoreDepth > 0) {
        ++m_IgnoreDepth;
        return;
    }
    const char* type = Attribute(atts, "TYPE");
    const char* feature = Attribute(atts, "FEATURE");
    const char* product = Attribute(atts, "PRODUCT");
    uint32_t kind = UIT_GROUP;
    if (type != nullptr && std::strcmp(type, "group") == 0) {
        kind = UIT_GROUP;
    } else if (type != nullptr && std::strcmp(type, "item") == 0) {
        kind = UIT_ITEM;
    } else if (type != nullptr && std::strcmp(type, "template") == 0) {
        kind = UIT_TEMPLATE;
    } else {
        AddDiagnostic("UI ERROR: UIITEM with TYPE \"%s\" is ignored.\n", type ? type : "");
        ++m_IgnoreDepth;
        return;
    }
    if (m_TypeStack.size() >= kUIMaxDepth) {
        AddDiagnostic("UI ERROR: items nested deeper than %u levels are ignored.\n", kUIMaxDepth);
        ++m_IgnoreDepth;
        return;
    }
    if (product != nullptr && !m_ChipDef->IsInSelectedProduct(product)) {
        ++m_IgnoreDepth;
        return;
    }
    if (feature != nullptr && !m_ChipDef->IsFeatureInProduct(feature)) {
        AddDiagnostic("UI ERROR: %s doesn't exist for %s.\n", feature,
                      m_ChipDef->GetProductText(nullptr, 0x181));
        ++m_IgnoreDepth;
        return;
    }
    auto* record = new UIFeature;
    record->Type = kind;
    record->ChipDefFeature = Text(feature);
    record->HideWhen = Text(Attribute(atts, "HIDEWHEN"));
    record->Name = Text(Attribute(atts, "NAME"));
    const char* access = Attribute(atts, "ACCESS");
    record->ReadOnly = access != nullptr && std::strcmp(access, "ro") == 0 ? 1 : 0;
    record->Reserved = Text(Attribute(atts, "RESERVED"));
    record->Product = Text(product);
    record->Override = Text(Attribute(atts, "OVERRIDE"));
    record->OverridePos = Text(Attribute(atts, "OVERRIDEPOS"));
    record->OverrideNeg = Text(Attribute(atts, "OVERRIDENEG"));
    record->TemplateFile = Text(Attribute(atts, "FILE"));
    record->FileVer = Text(Attribute(atts, "FILEVER"));
    record->InTemplate = Attribute(atts, "INTEMPLATE") != nullptr ? 1 : 0;
    PlaceNode(record);
    m_TypeStack.push_back(kind);
    m_AddMode = kind == UIT_GROUP ? 1 : 2;
    if (!record->TemplateFile.empty()) {
        if (m_NumTemplateFiles >= kUIMaxTemplateFiles) {
            AddDiagnostic("UI ERROR: more than %u template files; %s is not loaded.\n",
                          kUIMaxTemplateFiles, record->TemplateFile.c_str());
            record->HasTemplateFile = 0;
        } else {
            ++m_NumTemplateFiles;
            m_TemplatesToLoad.push_back(m_CurrentNode);
        }
    }
    uint32_t regIndex = 0;
    if (feature != nullptr && m_ChipDef->IsFeatureOutsideRegList(feature, &regIndex)) {
        AddDiagnostic("UI ERROR: %s requires REG[%0*X] to be in HCL list.\n", feature,
                      static_cast<int>(m_ChipDef->GetDefaultIndexWidth()), regIndex);
    }
}

void UIFeatures::StartTemplates(const char** atts) {
    const char* encrypt = Attribute(atts, "ENCRYPT");
    m_Scrambled = encrypt != nullptr && std::strcmp(encrypt, "Y") == 0;
    const char* versionText = Attribute(atts, "VERSION");
    const char* p = versionText != nullptr ? versionText : "";
    const uint32_t version = ParseDecimal(p);
    UIFeature& item = Data(m_CurrentNode);
    if (!IsTemplateVersionAccepted(item.FileVer.empty() ? nullptr : item.FileVer.c_str(),
                                   version)) {
        item.TemplateVersionOk = 0;
        ++m_IgnoreDepth;
    }
}

void UIFeatures::StartTemplate(const char** atts) {
    UIFeature& item = Data(m_CurrentNode);
    if (item.Templates.size() >= kUIMaxTemplates) {
        AddDiagnostic("UI ERROR: %s: more than %u templates; the rest are ignored.\n",
                      item.TemplateFile.c_str(), kUIMaxTemplates);
        ++m_IgnoreDepth;
        return;
    }
    if (item.Templates.empty()) {
        item.Templates.reserve(kUIMaxTemplates);
    }
    UITemplate& entry = item.Templates.emplace_back();
    m_InTemplate = true;
    for (size_t i = 0; atts[i] != nullptr; i += 2) {
        if (std::strcmp(atts[i], "PUBLIC") == 0) {
            entry.Public = std::strcmp(atts[i + 1], "Y") == 0 ? 1 : 0;
            continue;
        }
        std::string value = atts[i + 1];
        if (entry.Public == 0 && m_Scrambled) {
            UnscrambleTemplateText(value);
        }
        if (std::strcmp(atts[i], "KEYNAME") == 0) {
            entry.KeyName = value;
        } else if (std::strcmp(atts[i], "NAME") == 0) {
            entry.Name = value;
        }
    }
}

void UIFeatures::StartTemplateFeature(const char** atts) {
    UIFeature& item = Data(m_CurrentNode);
    if (!m_InTemplate || item.Templates.empty()) {
        return; // a FEATURE outside a TEMPLATE belongs to nothing
    }
    UITemplate& entry = item.Templates.back();
    if (entry.Features.size() >= kUIMaxTemplateFeatures) {
        AddDiagnostic("UI ERROR: %s: template %s has more than %u features; the rest are "
                      "ignored.\n",
                      item.TemplateFile.c_str(), entry.Name.c_str(), kUIMaxTemplateFeatures);
        return;
    }
    if (entry.Features.empty()) {
        entry.Features.reserve(kUIMaxTemplateFeatures);
    }
    UITemplateFeature& feature = entry.Features.emplace_back();
    feature.KeyName = Text(Attribute(atts, "KEYNAME"));
    feature.Value = Text(Attribute(atts, "VALUE"));
    if (entry.Public == 0 && m_Scrambled) {
        UnscrambleTemplateText(feature.KeyName);
        UnscrambleTemplateText(feature.Value);
    }
}

void UIFeatures::OnStartElement(const char* name, const char** atts) {
    if (m_InTemplateFile) {
        if (std::strcmp(name, "TEMPLATES") == 0) {
            if (m_IgnoreDepth == 0) {
                StartTemplates(atts);
            }
        } else if (std::strcmp(name, "TEMPLATE") == 0) {
            if (m_IgnoreDepth == 0) {
                StartTemplate(atts);
            } else {
                ++m_IgnoreDepth;
            }
        } else if (std::strcmp(name, "FEATURE") == 0) {
            if (m_IgnoreDepth == 0) {
                StartTemplateFeature(atts);
            }
        } else {
            AddDiagnostic("UI ERROR: %s: element %s is not allowed in a template file.\n",
                          Data(m_CurrentNode).TemplateFile.c_str(), name);
        }
        return;
    }
    if (std::strcmp(name, "UIITEM") == 0) {
        StartItem(atts);
        return;
    }
    const bool isDefine = std::strcmp(name, "DEFINE") == 0;
    const bool isDisqualify = std::strcmp(name, "DISQUALIFY") == 0;
    if ((!isDefine && !isDisqualify) || m_IgnoreDepth > 0 || m_CurrentNode == nullptr) {
        return;
    }
    UIFeature& item = Data(m_CurrentNode);
    if (item.Type != UIT_TEMPLATE || m_TypeStack.empty()) {
        return;
    }
    if (isDefine) {
        if (item.Defines.size() >= kUIMaxDefines) {
            AddDiagnostic("UI ERROR: more than %u DEFINEs in an item; the rest are ignored.\n",
                          kUIMaxDefines);
            return;
        }
        UIDefine define{Text(Attribute(atts, "KEYNAME")), Text(Attribute(atts, "FEATURE")),
                        Text(Attribute(atts, "NAME"))};
        if (!define.Feature.empty() && !m_ChipDef->IsFeatureInProduct(define.Feature.c_str())) {
            // The template key is then only shown, never compared or set.
            AddDiagnostic("UI ERROR: %s doesn't exist for %s.\n", define.Feature.c_str(),
                          m_ChipDef->GetProductText(nullptr, 0x181));
            define.Feature.clear();
        }
        item.Defines.push_back(std::move(define));
    } else {
        if (item.Disqualify.size() >= kUIMaxDisqualify) {
            AddDiagnostic("UI ERROR: more than %u DISQUALIFYs in an item; the rest are ignored.\n",
                          kUIMaxDisqualify);
            return;
        }
        item.Disqualify.push_back({Text(Attribute(atts, "WHEN")), Text(Attribute(atts, "REASON"))});
    }
}

void UIFeatures::OnEndElement(const char* name) {
    if (m_InTemplateFile) {
        const bool isTemplate = std::strcmp(name, "TEMPLATE") == 0;
        if (isTemplate && m_IgnoreDepth == 0) {
            m_InTemplate = false;
        } else if ((isTemplate || std::strcmp(name, "TEMPLATES") == 0) && m_IgnoreDepth > 0) {
            --m_IgnoreDepth;
        }
        return;
    }
    if (std::strcmp(name, "UIITEM") != 0) {
        return;
    }
    --m_CurrentDepth;
    if (m_IgnoreDepth > 0) {
        --m_IgnoreDepth;
        return;
    }
    const uint32_t kind = m_TypeStack.back();
    m_TypeStack.pop_back();
    if (kind == UIT_GROUP) {
        if (m_AddMode == 2) {
            ToParent(m_CurrentNode); // back from the group's last child
        }
        m_AddMode = 2;
    } else {
        m_AddMode = 2;
    }
}
