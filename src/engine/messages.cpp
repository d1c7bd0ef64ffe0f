// The interpreter's message texts and their one-time conversion to GBK.
#include "engine/messages.h"

#include "engine/encoding.h"

#include <iconv.h>

#include <array>
#include <string>

namespace {

constexpr std::array<const char*, static_cast<size_t>(Msg::Count)> kUtf8 = {
    "正在编译……\r\n",
    "正在搜索……\r\n",
    " 行: ",
    "集合已经定义",
    "集合没有定义",
    "集合至少需要两个不同的值",
    "变量已经定义",
    "变量没有定义",
    "语法错误",
    "下标越界",
    "可能导致下标越界",
    "永假的表达式",
    "错误的输出要求",
    "数值超出范围",
    "请输入文件名",
    "不能打开文件",
};

std::string ToGbk(const char* utf8) {
    iconv_t cd = iconv_open("GBK", "UTF-8");
    if (cd == reinterpret_cast<iconv_t>(-1)) return utf8;
    std::string in = utf8;
    std::string out(in.size() * 2 + 4, '\0');
    char* src = in.data();
    size_t srcLeft = in.size();
    char* dst = out.data();
    size_t dstLeft = out.size();
    size_t rc = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
    iconv_close(cd);
    if (rc == static_cast<size_t>(-1)) return utf8;
    out.resize(out.size() - dstLeft);
    return out;
}

struct Table {
    std::array<std::string, static_cast<size_t>(Msg::Count)> gbk;
    Table() {
        for (size_t i = 0; i < kUtf8.size(); ++i) gbk[i] = ToGbk(kUtf8[i]);
    }
};

}  // namespace

const char* Text(Msg id) {
    static const Table table;
    if (CurrentEncoding() == Encoding::Utf8) return kUtf8[static_cast<size_t>(id)];
    return table.gbk[static_cast<size_t>(id)].c_str();
}
