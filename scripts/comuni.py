#!/usr/bin/env python3
"""Turns ISTAT's list of Italian municipalities (CSV, ';', UTF-8) into the
schema step of the services archive that creates and fills TAB_COMUNI.

    scripts/comuni.py comuni-istat.csv > schema/servizi/004_comuni.sql

Source: ISTAT, "Elenco dei comuni italiani", CC BY 3.0 IT."""
import csv
import sys

CHUNK = 500


def quoted(text):
    return "'" + text.strip().replace("'", "''") + "'"


def main(path):
    with open(path, encoding="utf-8", newline="") as source:
        rows = [r for r in csv.DictReader(source, delimiter=";")]
    rows.sort(key=lambda r: r["CODICE_ISTAT"])
    out = sys.stdout
    out.write("-- The Italian municipalities: ISTAT code, name, province, cadastral code\n"
              "-- (the birthplace of a personal tax code). Source: ISTAT, \"Elenco dei\n"
              "-- comuni italiani\", CC BY 3.0 IT. Made by scripts/comuni.py.\n\n"
              "CREATE TABLE TAB_COMUNI (\n"
              "    CODICE_ISTAT     VARCHAR(6)  NOT NULL PRIMARY KEY,\n"
              "    COMUNE           VARCHAR(60) NOT NULL,\n"
              "    PROVINCIA        VARCHAR(2)  NOT NULL,\n"
              "    CODICE_CATASTALE VARCHAR(4)  NOT NULL\n"
              ");\n\n"
              "CREATE INDEX TAB_COMUNI_COMUNE ON TAB_COMUNI (COMUNE);\n"
              "CREATE INDEX TAB_COMUNI_CATASTALE ON TAB_COMUNI (CODICE_CATASTALE);\n")
    for start in range(0, len(rows), CHUNK):
        values = ",\n".join(
            "    (%s, %s, %s, %s)" % (quoted(r["CODICE_ISTAT"]), quoted(r["COMUNE"]), quoted(r["PROVINCIA"]),
                                     quoted(r["CODICE_CATASTALE"]))
            for r in rows[start:start + CHUNK])
        out.write("\nINSERT INTO TAB_COMUNI (CODICE_ISTAT, COMUNE, PROVINCIA, CODICE_CATASTALE) VALUES\n"
                  + values + ";\n")


if __name__ == "__main__":
    main(sys.argv[1])
