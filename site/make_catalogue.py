#!/usr/bin/env python3
"""Puts the standard tables of tables/ (each X.table with its notes X.txt)
into zo_velmar/modules/ and writes the module catalogue dwl_modules.ini
(Windows-1251, CR LF) for a server's base address, with the SHA-256 of
every module file.

    python3 site/make_catalogue.py [BASE_URL] [SITE_FOLDER]

BASE_URL defaults to http://127.0.0.1:8080 (the program's default server);
SITE_FOLDER to the folder of this script. It also copies docs/tables.md,
the description of the table format, to the site. tables/ is the one place a table
is edited: the program's Table folder, the installer and the server all
carry the same files. Run it again whenever a table changes or the site
moves to another address.
"""

import hashlib
import os
import shutil
import sys

MODULES = [
    # section, file, name, description
    ("gost-b", "ru-gost-7.79-b.table", "Русский - ГОСТ 7.79 Б", "ГОСТ 7.79-2000, система Б (ASCII)"),
    ("icao", "ru-icao-9303.table", "Русский - ICAO 9303", "Загранпаспорта РФ с 2013 года"),
    ("bgn", "ru-bgn-pcgn.table", "Русский - BGN/PCGN", "BGN/PCGN 1947, таблица Юникода"),
    ("ua2010", "ua-2010.table", "Украинский - 2010", "Национальная система Украины 2010 года, таблица Юникода"),
    ("bg2009", "bg-2009.table", "Болгарский - 2009", "Официальная система Болгарии 2009 года"),
    ("iso9", "ru-iso-9.table", "Русский - ISO 9", "ISO 9:1995 (ГОСТ 7.79 А), таблица Юникода"),
    ("scient", "ru-scientific.table", "Русский - научная", "Научная транслитерация, таблица Юникода"),
    ("by2007", "by-2007.table", "Белорусский - 2007", "Национальная система Беларуси 2007 года, таблица Юникода"),
    ("serbian", "serbian-latin.table", "Сербский - латиница", "Сербская кириллица в латиницу, таблица Юникода"),
    ("kazakh", "kazakh-latin-2021.table", "Казахский - латиница 2021", "Казахский латинский алфавит 2021 года, таблица Юникода"),
    ("alalc", "ru-ala-lc.table", "Русский - ALA-LC", "Библиотечная транслитерация ALA-LC, таблица Юникода"),
    ("english", "ru-english.table", "Русский - английская упрощённая", "Как пишут англоязычные новости и энциклопедии"),
]


def main():
    base = (sys.argv[1] if len(sys.argv) > 1 else "http://127.0.0.1:8080").rstrip("/")
    site = sys.argv[2] if len(sys.argv) > 2 else os.path.dirname(os.path.abspath(__file__))
    folder = os.path.join(site, "zo_velmar", "modules")
    tables = os.path.join(os.path.dirname(os.path.abspath(__file__)), os.pardir, "tables")
    lines = ["; VelmarPro modules: one section per module"]
    for section, file, name, desc in MODULES:
        notes = os.path.splitext(file)[0] + ".txt"
        for each in (file, notes):
            shutil.copyfile(os.path.join(tables, each), os.path.join(folder, each))
        with open(os.path.join(folder, file), "rb") as f:
            digest = hashlib.sha256(f.read()).hexdigest()
        lines += [f"[{section}]", f"Name={name}", f"Desc={desc}", f"FileName={file}",
                  f"URL={base}/zo_velmar/modules/{file}", f"SHA256={digest}"]
    # The page for visitors links the description of the table format.
    shutil.copyfile(os.path.join(tables, os.pardir, "docs", "tables.md"), os.path.join(site, "tables.md"))
    with open(os.path.join(folder, "dwl_modules.ini"), "wb") as f:
        f.write(("\r\n".join(lines) + "\r\n").encode("cp1251"))


if __name__ == "__main__":
    main()
