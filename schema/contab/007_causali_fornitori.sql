-- Accounting causals: templates proposing up to three debit and three
-- credit accounts, a VAT code and a bank or cash ("***") for an entry.
-- DETRAIBILE: 'D' 100 % deductible, 'S' 50 %, 'N' not, blank not set.
-- CAUSALE is unique over the whole table, whatever the type.
CREATE TABLE TAB_CAU_CONT (
    TIPO_CAUSALE    VARCHAR(2),
    CAUSALE         VARCHAR(6)  NOT NULL PRIMARY KEY,
    DESCRIZIONE     VARCHAR(40),
    DETRAIBILE      VARCHAR(1),
    COD_IVA         VARCHAR(4),
    CASSA_BANCA     VARCHAR(5),
    DARE_1          VARCHAR(6),
    AVERE_1         VARCHAR(6),
    DARE_2          VARCHAR(6),
    AVERE_2         VARCHAR(6),
    DARE_3          VARCHAR(6),
    AVERE_3         VARCHAR(6)
);

CREATE INDEX TAB_CAU_CONT_TIPO ON TAB_CAU_CONT (TIPO_CAUSALE);

-- Suppliers and agents are listed apart, and by type.
CREATE INDEX ANAG_FOR_AGENTE ON ANAG_FOR (AGENTE, FORNITORE);
CREATE INDEX ANAG_FOR_TIPO_FORN ON ANAG_FOR (TIPO_FORN);
