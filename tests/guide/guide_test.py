#!/usr/bin/env python3
"""The operator's guide (LEIAME.md) against the program, and its conversion to LEIAME.txt.

    python3 tests/guide/guide_test.py [source folder]

What goes stale when the windows change: every text the guide puts in double quotes is one of the
program's captions or messages, exactly (a whole string literal of src/, adjacent literals joined and
escapes undone, or one whole line of one), or one of the installer's (a string of its script), unless it
is one of Windows' own words listed below; every
picture the guide and the README show exists; the numbered list of the main window matches the
numbers that scripts/docs-pictures draws.
"""
import os
import re
import subprocess
import sys
import tempfile
import unittest

ROOT = os.path.abspath(sys.argv.pop(1) if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..", ".."))
sys.path.insert(0, os.path.join(ROOT, "scripts"))
import leiame_txt  # noqa: E402

# Windows' words that the guide quotes: fields and menu entries of Explorer's shortcuts and of a file's
# properties, SmartScreen's warning about a program from the internet, the Task Scheduler's fields for a
# task that starts a program at sign-in, and where Windows lists the programs to uninstall.
WINDOWS_WORDS = {"Iniciar em", "Criar atalho", "Mostrar mais opções", "Propriedades", "Destino", "Desbloquear",
                 "O Windows protegeu o computador", "Mais informações", "Executar assim mesmo",
                 "Editor desconhecido", "Aplicativos e recursos", "Aplicativos instalados",
                 "Programas e Recursos", "Desinstalar",
                 "Não respondendo", "Fechar o programa",
                 "Atalho", "Executar", "Minimizada", "Avançado...", "Executar como administrador",
                 "Compatibilidade", "Executar este programa como administrador",
                 "Criar Tarefa...", "Geral", "Disparadores", "Ações", "Condições", "Configurações", "Novo...",
                 "Executar somente quando o usuário estiver conectado", "Executar com privilégios mais altos",
                 "Executar estando o usuário conectado ou não", "Iniciar a tarefa", "Ao fazer logon",
                 "Iniciar um programa", "Programa/script"}

GAP = "\x00"  # where a program text has a part computed at run time (an error code, a reason)


def read(path):
    with open(os.path.join(ROOT, path), encoding="utf-8") as file:
        return file.read()


def unescape(body):
    simple = {"n": "\n", "r": "\r", "t": "\t", '"': '"', "'": "'", "\\": "\\", "0": "\0", "?": "?"}

    def one(match):
        escape = match.group(1)
        if escape[0] in "xu":
            return chr(int(escape[1:], 16))
        return simple[escape]

    return re.sub(r"\\(x[0-9a-fA-F]+|u[0-9a-fA-F]{4}|.)", one, body)


# A string literal (with an optional L/u/U/u8 prefix), a character literal, or a comment.
TOKEN = re.compile(r'(?:u8|[LuU])?"((?:[^"\\\n]|\\.)*)"|\'(?:[^\'\\\n]|\\.)*\'|//[^\n]*|/\*.*?\*/', re.S)
# Between two literals: `+ expression +`, with no statement or argument boundary in between.
COMPUTED_PART = re.compile(r'\s*\+[^;{},"]*\+\s*')


def program_texts(source):
    """The string texts of one C++ source: adjacent literals joined, `"a" + f(x) + "b"` as a, GAP, b."""
    source = TOKEN.sub(lambda m: " " if m.group(0).startswith("/") else m.group(0), source)
    texts, pieces, last_end = [], None, 0

    def close(after):
        if pieces is not None:
            texts.append("".join(pieces) + (GAP if re.match(r"\s*\+", after) else ""))

    for match in TOKEN.finditer(source):
        if match.group(1) is None:  # a character literal
            continue
        between = source[last_end:match.start()]
        if pieces is not None and COMPUTED_PART.fullmatch(between):
            pieces.append(GAP)
        elif pieces is None or between.strip():
            close(between)
            pieces = [GAP] if re.search(r"\+\s*$", between) else []
        pieces.append(unescape(match.group(1)))
        last_end = match.end()
    close(source[last_end:])
    return texts


def all_program_texts():
    texts = set()
    for folder, _, names in os.walk(os.path.join(ROOT, "src")):
        for name in names:
            if name.endswith((".cpp", ".h")):
                with open(os.path.join(folder, name), encoding="utf-8") as file:
                    texts.update(program_texts(file.read()))
    return texts


def installer_texts():
    """The strings of the installer's script, comments left out: its escapes undone, its variables
    ($INSTDIR) computed parts."""
    script = re.sub(r"^\s*;.*$", "", read("packaging/relinka.nsi"), flags=re.M)
    texts = set()
    for body in re.findall(r'"((?:\$\\.|[^"\n])*)"', script):
        body = re.sub(r"\$\\(.)", lambda m: {"r": "\r", "n": "\n", "t": "\t"}.get(m.group(1), m.group(1)), body)
        texts.add(re.sub(r"\$(?:\{[^}]*\}|\([^)]*\)|\w+)", GAP, body))
    return texts


def patterns(texts):
    """Each text, and each of its lines, as a pattern in which a computed part matches anything."""
    result = set()
    for text in texts:
        text = text.replace("\r\n", "\n")
        for candidate in [text] + text.split("\n"):
            if candidate.replace(GAP, "").strip():  # a computed part alone would match anything
                result.add(re.compile(".+".join(re.escape(part) for part in candidate.split(GAP)), re.S))
    return result


def prose_blocks(markdown):
    """The guide's prose, code left out, one string per paragraph (its lines joined by one space)."""
    markdown = re.sub(r"^```.*?^```[^\n]*$", "", markdown, flags=re.S | re.M)
    markdown = re.sub(r"(`+).+?\1", "", markdown)
    blocks = re.split(r"\n\s*(?:>\s*)?\n", markdown)
    return [re.sub(r"\n[ \t>]*", " ", block) for block in blocks]


def quoted_texts(markdown):
    quotes = []
    for block in prose_blocks(markdown):
        if block.count('"') % 2:
            raise AssertionError("unpaired double quote in: " + block.strip()[:120])
        quotes += re.findall(r'"([^"]+)"', block)
    return quotes


def unknown_quotes(markdown, program):
    known = patterns(program)
    return sorted({quote for quote in quoted_texts(markdown)
                   if quote not in WINDOWS_WORDS and not any(p.fullmatch(quote) for p in known)})


class GuideQuotesTheProgram(unittest.TestCase):
    def test_every_quoted_text_is_the_programs_own(self):
        guide = read("LEIAME.md")
        self.assertGreater(len(quoted_texts(guide)), 50)
        self.assertEqual(unknown_quotes(guide, all_program_texts() | installer_texts()), [])

    def test_the_check_is_exact(self):
        program = program_texts(
            'ask(L"Grave os amigos primeiro!", L"Relinka", kOkOnly);\n'
            'caption(L"Visitar Servidor  QX0QX");  // "a comment"\n'
            'ask(L"O EchoLink falhou (erro " +\n    code(failure.status()) + L").\\n\\nTente de novo.", t);\n'
            'ask(L"A lista n\\u00e3o foi gravada.\\n\\n" + *reason, L"Relinka");\n')
        self.assertEqual(unknown_quotes(
            '"Grave os amigos primeiro!" "Visitar Servidor  QX0QX" "O EchoLink falhou (erro 0x1)."\n'
            '"Tente de\n  novo." "A lista não foi gravada." "Iniciar em" `"not checked"`', program), [])
        for wrong in ['"Grave os amigo primeiro!"', '"Grave os amigos"', '"Visitar Servidor QX0QX"',
                      '"a comment"', '"O EchoLink falhou (erro )."', '"A lista nao foi gravada."']:
            self.assertEqual(unknown_quotes(wrong, program), [wrong.strip('"')])
        with self.assertRaises(AssertionError):
            quoted_texts('clique em "Ler amigos.')


class GuidePictures(unittest.TestCase):
    def pictures(self, document):
        return re.findall(r"!\[[^\]]*\]\(([^)\s]+)", read(document))

    def test_every_picture_shown_exists(self):
        for document in ("LEIAME.md", "README.md"):
            shown = self.pictures(document)
            self.assertTrue(shown, document + " shows no picture")
            for picture in shown:
                self.assertTrue(os.path.isfile(os.path.join(ROOT, picture)), document + ": " + picture)

    def test_the_guide_and_the_readme_link_each_other(self):
        self.assertIn("](LEIAME.md)", "\n".join(read("README.md").splitlines()[:5]))
        self.assertIn("](README.md)", read("LEIAME.md"))

    def test_numbered_list_matches_the_numbered_picture(self):
        drawn = {int(n) for n in re.findall(r'^\s*"(\d+) \d+ \d+"', read("scripts/docs-pictures"), re.M)}
        section = read("LEIAME.md").split("## A janela principal")[1].split("\n## ")[0]
        self.assertIn("docs/janela-principal-numerada.png", section)
        listed = [int(n) for n in re.findall(r"^(\d+)\. ", section, re.M)]
        self.assertEqual(listed, sorted(drawn))
        self.assertEqual(listed, list(range(1, len(listed) + 1)))


class LeiameTxt(unittest.TestCase):
    def test_the_package_text_of_the_guide(self):
        with tempfile.TemporaryDirectory() as folder:
            out = os.path.join(folder, "LEIAME.txt")
            subprocess.run([sys.executable, os.path.join(ROOT, "scripts", "leiame_txt.py"),
                            os.path.join(ROOT, "LEIAME.md"), out], check=True)
            with open(out, "rb") as file:
                data = file.read()
        self.assertTrue(data.startswith(b"\xef\xbb\xbf"))
        self.assertEqual(data.count(b"\r"), data.count(b"\r\n"))
        self.assertEqual(data.count(b"\n"), data.count(b"\r\n"))
        text = data[3:].decode("utf-8")
        # The captions, accents and inner spaces included, come through whole.
        for quote in quoted_texts(read("LEIAME.md")):
            self.assertIn('"%s"' % quote, text)
        for markup in ("**", "](", "![", "`", "<img", "\n#", "| ---", "\n> "):
            self.assertNotIn(markup, text)

    def test_markdown_constructs(self):
        markdown = (
            "# Título\n\nTexto com **negrito**, *itálico*, `código *literal*` e\n"
            "[um link](https://example.org/x) e [outro](#secao).\n\n"
            "![Janela principal](docs/x.png)\n\n"
            "## Seção\n\n- item um\n  continua\n10. décimo \"Visitar Servidor  QX0QX\"\n\n"
            "| A | Bê |\n| --- | --- |\n| `x.exe` | ação |\n\n"
            "> \"Tem certeza que quer sair?\"\n\n```\ncd ~/relinka\n```\n")
        self.assertEqual(leiame_txt.convert(markdown).split("\n"), [
            "TÍTULO", "======", "",
            "Texto com negrito, itálico, código *literal* e um link (https://example.org/x)",
            "e outro.", "",
            "[Figura: Janela principal]", "",
            "Seção", "-----", "",
            "- item um continua", "10. décimo \"Visitar Servidor  QX0QX\"", "",
            "A      Bê", "-----  ----", "x.exe  ação", "",
            "    \"Tem certeza que quer sair?\"", "",
            "    cd ~/relinka", ""])
        self.assertEqual(leiame_txt.notepad_bytes("ação\nfim\n"),
                         b"\xef\xbb\xbf" + "ação\r\nfim\r\n".encode("utf-8"))


if __name__ == "__main__":
    unittest.main(verbosity=1)
