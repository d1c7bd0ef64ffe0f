/* The grammar of the puzzle language. Productions follow the language's rule
 * table; each action is one call into the compiler (the Compilation every
 * action receives) or a node constructor. A "guarded" call that fails has
 * reported its own error and abandons the parse (YYABORT); there are no
 * error-recovery rules. */

/* A pure parser: its stacks live on yyparse's frame, and every action and
 * the scanner get the compilation as a parameter, not through globals. */
%define api.pure full
%param {Compilation& c}
/* A syntax error is reported by yyreport_syntax_error, which reads the
 * expected tokens from the tables at the error state. Neither LAC nor any
 * change to the default reductions: the parse is the same as without it. */
%define parse.error custom

%code requires {
#include <cstdint>
#include <vector>

class CExpression;
class CExpParameters;
class Compilation;
struct PooledText;
}

%code {
#include <cstring>
#include <string>

#include "compile/error_details.h"
#include "text/characters.h"
#include "text/translate.h"

#include "lang/compilation.h"
#include "lang/parse.h"

void yyerror(Compilation& c, const char* message);
void ReportSyntaxError(Compilation& c, const std::vector<std::string>& expected,
                       bool semicolonExpected);

/* The stacks start with room for 200 entries and may grow to 10000. Grown
 * stacks live on yyparse's frame too, so that a compile phase stopped by an
 * exception (CompileCancelled, std::bad_alloc) leaves nothing behind. */
#define YYINITDEPTH 200
#define YYMAXDEPTH 10000
#define YYSTACK_USE_ALLOCA 1

namespace {
/* Appends the integers a, a+1, ..., b (nothing when b < a). A range of
 * billions of values may be stopped, or run out of memory, on the way: the
 * list, which the parser's stack owns, is released before the parse unwinds. */
void AppendRange(Compilation& c, std::vector<int32_t>* list, int32_t a, int32_t b) {
    try {
        for (int64_t v = a; v <= b; ++v) {
            c.Step();
            list->push_back(static_cast<int32_t>(v));
        }
    } catch (...) {
        delete list;
        throw;
    }
}
}

/* Every token passes the compiler on its way to the parser, so that a
 * warning can point at the piece it is about. */
namespace {
int NextToken(YYSTYPE* value, Compilation& c) {
    const int code = yylex(value, c);
    const Compiler::TokenKind kind = code == STRING  ? Compiler::TokenKind::String
                                     : code == IDENT ? Compiler::TokenKind::Name
                                                     : Compiler::TokenKind::Other;
    c.Scanned(code, kind, kind == Compiler::TokenKind::Other ? nullptr : value->text);
    return code;
}
}
#define GUARD(call) do { if (!(call)) YYABORT; } while (0)

namespace {
/* Reads a token and notes where a statement starts: at the first token after
 * the previous statement, which is reduced before the next token is read
 * (its last token leaves the parser in a state that reduces by default). */
int ReadToken(YYSTYPE* value, Compilation& c) {
    const int token = NextToken(value, c);
    if (!c.statementOpen) {
        c.statementOpen = true;
        c.statementOffset = c.tokenOffset;
        c.statementLine = c.token.line;
    }
    return token;
}

/* The text of the statement that ends with the token just read. */
std::string StatementText(const Compilation& c) {
    const size_t end = c.tokenOffset + c.tokenLength;
    return std::string(c.source.substr(c.statementOffset, end - c.statementOffset));
}
}
#define yylex(value, c) ReadToken(value, c)
}

%union {
    int32_t number;
    const PooledText* text;
    CExpression* expr;
    CExpParameters* params;
    std::vector<int32_t>* list;
}

%token <number> NUMBER
%token <text>   STRING IDENT
%token GE ">=" LE "<=" NE "!=" IMPLIES "->"
%token OUTPUT FORALL EXISTS IN ALLDIFF

%type <list>   number_list string_list
%type <text>   declaration_list binding
%type <expr>   reference expression logical comparison arithmetic primary
%type <params> argument_list

/* Lists owned by the parser are freed when a parse is abandoned. */
%destructor { delete $$; } <list>

/* Lowest first. Comparisons need no entry: their own rules give them
 * exactly two arithmetic operands, so a = b = c is a syntax error. */
%left IMPLIES
%left '|'
%left '&' '^'
%left '+' '-'
%left '*' '/' '%'

/* Every conflict is resolved by the precedence above, on purpose. */
%expect 0

%%

program
    : program statement                          { c.statementOpen = false; }
    | statement                                  { c.statementOpen = false; }
    ;

number_list
    : number_list ',' NUMBER                  { $1->push_back($3); $$ = $1; }
    | number_list ',' '[' NUMBER ',' NUMBER ']' { AppendRange(c, $1, $4, $6); $$ = $1; }
    | '[' NUMBER ',' NUMBER ']'               { $$ = new std::vector<int32_t>(); AppendRange(c, $$, $2, $4); }
    | NUMBER                                  { $$ = new std::vector<int32_t>{$1}; }
    ;

string_list
    : string_list ',' STRING                  { $1->push_back($3->handle); $$ = $1; }
    | STRING                                  { $$ = new std::vector<int32_t>{$1->handle}; }
    ;

/* ---- statements ---- */
statement
    : IDENT '{' '}' '=' '{' number_list '}' ';'  { GUARD(c.DeclareSet($1, $6)); }
    | IDENT '{' '}' '=' '{' string_list '}' ';'  { GUARD(c.DeclareStringSet($1, $6)); }
    | expression ';'                             { GUARD(c.AddConditionStatement($1, c.statementLine, StatementText(c))); }
    | declaration_list ';'
    | OUTPUT '{' output_list '}'
    | ';'
    ;

/* ---- variable declarations: the set first, then the variables ---- */
declaration_list
    : declaration_list ',' IDENT                 { GUARD(c.DeclareVariable($1, $3)); $$ = $1; }
    | declaration_list ',' IDENT '[' ']'         { GUARD(c.DeclareOrdering($1, $3)); $$ = $1; }
    | declaration_list ',' IDENT '(' IDENT ')'   { GUARD(c.DeclareArray($1, $3, $5)); $$ = $1; }
    | IDENT IDENT                                { GUARD(c.DeclareVariable($1, $2)); $$ = $1; }
    | IDENT IDENT '[' ']'                        { GUARD(c.DeclareOrdering($1, $2)); $$ = $1; }
    | IDENT IDENT '(' IDENT ')'                  { GUARD(c.DeclareArray($1, $2, $4)); $$ = $1; }
    ;

/* ---- names ---- */
binding
    : IDENT IN IDENT                             { GUARD(c.BindName($1, $3)); $$ = $1; }
    ;

reference
    : IDENT '(' reference ')'                    { GUARD($$ = c.ReferenceIndexed(false, $1, $3)); }
    | IDENT '(' NUMBER ')'                       { GUARD($$ = c.ReferenceElement(false, $1, $3)); }
    | IDENT '(' STRING ')'                       { GUARD($$ = c.ReferenceElement(false, $1, $3->handle)); }
    | IDENT '[' reference ']'                    { GUARD($$ = c.ReferenceIndexed(true, $1, $3)); }
    | IDENT '[' NUMBER ']'                       { GUARD($$ = c.ReferenceElement(true, $1, $3)); }
    | IDENT                                      { GUARD($$ = c.ReferenceName($1)); }
    ;

/* ---- expressions ---- */
expression
    : EXISTS binding ',' expression              { GUARD($$ = c.ExpandQuantifier($2, $4, false)); }
    | FORALL binding ',' expression              { GUARD($$ = c.ExpandQuantifier($2, $4, true)); }
    | logical
    ;

logical
    : logical '&' logical                        { $$ = c.Node<CExpAnd>($1, $3); }
    | logical IMPLIES logical                    { $$ = MakeImplication(c.program.nodes, $1, $3); }
    | logical '^' logical                        { $$ = MakeExclusiveOr(c.program.nodes, $1, $3); }
    | logical '|' logical                        { $$ = c.Node<CExpOr>($1, $3); }
    | comparison
    ;

comparison
    : arithmetic '>' arithmetic                  { $$ = c.Node<CExpFunc>(Operator::Greater, $1, $3); }
    | arithmetic '<' arithmetic                  { $$ = c.Node<CExpFunc>(Operator::Less, $1, $3); }
    | arithmetic '=' arithmetic                  { $$ = c.Node<CExpFunc>(Operator::Equal, $1, $3); }
    | arithmetic GE arithmetic                   { $$ = c.Node<CExpFunc>(Operator::GreaterEqual, $1, $3); }
    | arithmetic LE arithmetic                   { $$ = c.Node<CExpFunc>(Operator::LessEqual, $1, $3); }
    | arithmetic NE arithmetic                   { $$ = c.Node<CExpFunc>(Operator::NotEqual, $1, $3); }
    | arithmetic
    ;

arithmetic
    : arithmetic '+' arithmetic                  { $$ = c.Arithmetic(Operator::Add, $1, $3); }
    | arithmetic '-' arithmetic                  { $$ = c.Arithmetic(Operator::Subtract, $1, $3); }
    | arithmetic '*' arithmetic                  { $$ = c.Arithmetic(Operator::Multiply, $1, $3); }
    | arithmetic '/' arithmetic                  { $$ = c.Arithmetic(Operator::Divide, $1, $3); }
    | arithmetic '%' arithmetic                  { $$ = c.Arithmetic(Operator::Remainder, $1, $3); }
    | primary
    ;

primary
    : '(' expression ')'                         { $$ = $2; }
    | '!' primary                                { $$ = c.Node<CExpNot>($2); }
    | ALLDIFF '(' argument_list ')'              { $$ = c.Node<CExpAllDifferent>($3); }
    | reference
    | STRING                                     { $$ = c.StringConstant($1); }
    | NUMBER                                     { $$ = c.Node<CExpConst>($1); }
    ;

argument_list
    : argument_list ',' expression               { $$ = Append($1, $3); }
    | expression ',' expression                  { $$ = c.Node<CExpParameters>($1, $3); }
    ;

/* ---- output: items separated by commas or simply following each other ---- */
output_list
    : output_list ',' '(' expression ')'         { c.AddOutputVariable($4); }
    | output_list ',' reference                  { c.AddOutputVariable($3); }
    | output_list ',' STRING                     { c.AddOutputText($3); }
    | output_list reference                      { c.AddOutputVariable($2); }
    | output_list STRING                         { c.AddOutputText($2); }
    | '(' expression ')'                         { c.AddOutputVariable($2); }
    | reference                                  { c.AddOutputVariable($1); }
    | STRING                                     { c.AddOutputText($1); }
    ;

%%

/* Bison's own texts are not shown: a stack that would pass its limit is
 * "parser stack overflow". */
void yyerror(Compilation& c, const char* message) {
    if (std::strcmp(message, "memory exhausted") != 0) {
        c.Report("parse error");
        return;
    }
    c.Report("parser stack overflow",
             MakeError(c.token, "too-deep", Tr("the puzzle nests too deeply"),
                       {Tr("use fewer parentheses or quantifiers inside each other")}));
}

/* A syntax error is "parse error"; its details name the offending token and
 * the tokens that were expected, as token codes (0 for the end). */
static int yyreport_syntax_error(const yypcontext_t* context, Compilation& c) {
    yysymbol_kind_t kinds[YYNTOKENS];
    const int n = yypcontext_expected_tokens(context, kinds, YYNTOKENS);
    std::vector<std::string> expected;
    bool semicolon = false;
    for (int i = 0; i < n; ++i) {
        switch (kinds[i]) {
            case YYSYMBOL_YYerror:
            case YYSYMBOL_YYUNDEF:
                continue;
            case YYSYMBOL_YYEOF:
                expected.push_back(Tr("the end of the file"));
                continue;
            case YYSYMBOL_NUMBER:
                expected.push_back(Tr("a number"));
                continue;
            case YYSYMBOL_STRING:
                expected.push_back(Tr("a string"));
                continue;
            case YYSYMBOL_IDENT:
                expected.push_back(Tr("a name"));
                continue;
            default:
                break;
        }
        /* The spelling: a character's or an alias's without its quotes, or a
         * keyword's in both languages. */
        static constexpr struct {
            yysymbol_kind_t kind;
            const char* spelling;
        } kKeywords[] = {{YYSYMBOL_OUTPUT, "输出"}, {YYSYMBOL_FORALL, "任意"},
                         {YYSYMBOL_EXISTS, "存在"}, {YYSYMBOL_IN, "属于"},
                         {YYSYMBOL_ALLDIFF, "互不同"}};
        std::string name = yysymbol_name(kinds[i]);
        for (const auto& keyword : kKeywords)
            if (keyword.kind == kinds[i]) name = keyword.spelling;
        if (name.size() >= 2 && (name[0] == '\'' || name[0] == '"'))
            name = name.substr(1, name.size() - 2);
        semicolon = semicolon || name == ";";
        expected.push_back("'" + name + "'");
    }
    ReportSyntaxError(c, expected, semicolon);
    return 0;
}

/* The likeliest cause first: a misspelt keyword among the statement's
 * names (互不相同 for 互不同); a ';' missing at the end of the line before,
 * when one was expected and the offending token starts a new line; else the
 * offending token and what was expected in its place. */
void ReportSyntaxError(Compilation& c, const std::vector<std::string>& expected,
                       bool semicolonExpected) {
    for (const auto& [name, place] : c.statementNames) {
        if (c.program.FindVariable(name) != nullptr || c.program.FindSet(name) != nullptr ||
            c.program.boundNames.count(name) != 0)
            continue;
        const std::string text = c.Utf8(name);
        if (const std::string keyword = NearestKeyword(text); !keyword.empty()) {
            c.Report("parse error",
                     MakeError(place, "unknown-keyword",
                               Fill(Tr("'%s' is neither a keyword nor a declared name"), {text}),
                               {DidYouMean(keyword)}));
            return;
        }
    }
    const SourcePlace before = c.previousToken;
    if (semicolonExpected && before.line > 0 && c.token.line > before.line) {
        const SourcePlace end{before.line, before.endColumn, before.endColumn + 1};
        c.Report("parse error", MakeError(end, "missing-semicolon",
                                          Tr("missing ';' at the end of the statement"),
                                          {Tr("each statement ends with ';'")}));
        return;
    }
    std::vector<std::string> hints;
    if (!expected.empty()) {
        std::string list;
        for (const std::string& e : expected) list += (list.empty() ? "" : ", ") + e;
        hints.push_back(Fill(Tr("expected %s"), {list}));
    }
    if (c.tokenCode == 0) {
        c.Report("parse error", MakeError(c.token, "syntax", Tr("unexpected end of the file"),
                                          std::move(hints)));
        return;
    }
    if (c.tokenCode == YYUNDEF) {
        c.Report("parse error",
                 MakeError(c.token, "nul-byte", Tr("a NUL byte is no character of the language"),
                           {Tr("remove it; the file may not be a text file")}));
        return;
    }
    std::string_view text = c.source.substr(c.tokenOffset, c.tokenLength);
    if (!text.empty() && text.back() == '\n') text.remove_suffix(1);
    const std::string offending = "'" + ToUtf8(text, c.program.encoding) + "'";
    c.Report("parse error", MakeError(c.token, "syntax", Fill(Tr("unexpected %s"), {offending}),
                                      std::move(hints)));
}

bool ParsePuzzle(CProgram& program, Diagnostics& diagnostics, std::string_view text) {
    Compilation c(program, diagnostics, text);
    yyparse(c);
    if (!c.Failed()) c.Finish();
    return !c.Failed();
}
