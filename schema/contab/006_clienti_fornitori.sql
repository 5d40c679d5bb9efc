-- Customers and suppliers (agents are suppliers with AGENTE = 'A') with
-- their contact, personal and withholding data, the customers' delivery
-- places, the discounts per brand and the purchase and sale price lists.
-- Customer and supplier codes are numbers; 99999 is the standard-list party.
-- Coded columns are as wide as the code of the table they name: activity and
-- goods category 6 (not 4), zone 4 (not 5). The program checks the codes and
-- deletes in its own order, so there are no foreign keys.

-- Flags: ELENCO_CLIENTI 'S'/'N', PERS_SOC 'P' person / 'S' company,
-- TIPOLISTINO 'P' personal / 'S' standard lists, SCFATT 1 = discounts applied
-- on invoices, SUDDIVCANTIERE -1 = invoices split by delivery place.
CREATE TABLE ANAG_CLI (
    CLIENTE         INTEGER     NOT NULL PRIMARY KEY,
    CODICE2         VARCHAR(7),
    RAG_SOC1        VARCHAR(60),
    RAG_SOC2        VARCHAR(60),
    INDIRIZZO_LEG   VARCHAR(60),
    CITTA_LEG       VARCHAR(40),
    CAP_LEG         VARCHAR(5),
    PROVINCIA_LEG   VARCHAR(2),
    INDIRIZZO_AMM   VARCHAR(60),
    CITTA_AMM       VARCHAR(40),
    CAP_AMM         VARCHAR(5),
    PROVINCIA_AMM   VARCHAR(2),
    PART_IVA        VARCHAR(11),
    COD_FISC        VARCHAR(16),
    TELEFONO1       VARCHAR(20),
    TELEFONO2       VARCHAR(20),
    FAX             VARCHAR(20),
    E_MAIL          VARCHAR(60),
    COND_PAG        VARCHAR(3),
    NRO_CONTO       VARCHAR(20),
    COD_ATTIVITA    VARCHAR(6),
    COD_MERCE       VARCHAR(6),
    CODICE_IVA      VARCHAR(4),
    CONTO_RICAVO    VARCHAR(6),
    CONTO_PATRIM    VARCHAR(6),
    ELENCO_CLIENTI  VARCHAR(1),
    PERS_SOC        VARCHAR(1),
    TIPO_CLIENTE    VARCHAR(2),
    UBICAZIONE      VARCHAR(1),
    CODICE_ISO      VARCHAR(2),
    PART_IVA_CEE    VARCHAR(20),
    REGISTRO_IVA    VARCHAR(2),
    LIVELLO_SEGN    INTEGER     DEFAULT 0,
    AGENTE          INTEGER,
    NOTE1           VARCHAR(250),
    BANCA_APP       VARCHAR(5),
    BANCA_PAG       VARCHAR(5),
    NAZIONE         VARCHAR(3),
    ZONA            VARCHAR(4),
    TIPOLISTINO     VARCHAR(1),
    SCONTO1         DOUBLE PRECISION DEFAULT 0,
    SCONTO2         DOUBLE PRECISION DEFAULT 0,
    SCONTO3         DOUBLE PRECISION DEFAULT 0,
    SCFATT          SMALLINT    DEFAULT 0,
    SUDDIVCANTIERE  SMALLINT    DEFAULT 0
);

-- The operator's own code is unique once given, whatever the case.
CREATE UNIQUE INDEX ANAG_CLI_CODICE2_UPPER ON ANAG_CLI (UPPER(CODICE2)) WHERE CODICE2 IS NOT NULL AND CODICE2 <> '';

-- Search by name and town without regard to case, by agent and zone; VAT
-- number and tax code are looked up for duplicates.
CREATE INDEX ANAG_CLI_RAG_SOC1_UPPER ON ANAG_CLI (UPPER(RAG_SOC1));
CREATE INDEX ANAG_CLI_CITTA_LEG_UPPER ON ANAG_CLI (UPPER(CITTA_LEG));
CREATE INDEX ANAG_CLI_AGENTE ON ANAG_CLI (AGENTE);
CREATE INDEX ANAG_CLI_ZONA ON ANAG_CLI (ZONA);
CREATE INDEX ANAG_CLI_PART_IVA ON ANAG_CLI (PART_IVA);
CREATE INDEX ANAG_CLI_COD_FISC ON ANAG_CLI (COD_FISC);

-- Contact and visits; the days hold the weekday name ("MERCOLEDI'").
CREATE TABLE CONT_CLI (
    CLIENTE         INTEGER     NOT NULL PRIMARY KEY,
    RESPONSABILE    VARCHAR(60),
    DESCRIZIONE1    VARCHAR(60),
    DESCRIZIONE2    VARCHAR(60),
    TELEFONO1       VARCHAR(20),
    TELEFONO2       VARCHAR(20),
    FAX             VARCHAR(20),
    ORA_MAG         VARCHAR(30),
    GIORNO_CHIU     VARCHAR(10),
    GIORNO_VISITA   VARCHAR(10),
    ULT_VISITA      DATE,
    PROS_VISITA     DATE
);

-- A private person's birth and identity document.
CREATE TABLE PERS_CLI (
    CLIENTE         INTEGER     NOT NULL PRIMARY KEY,
    SESSO           VARCHAR(1),
    CITTA_NASC      VARCHAR(40),
    PROV_NASC       VARCHAR(2),
    DATA_NASC       DATE,
    TIPO_DOC        VARCHAR(1),
    NRO_DOC         VARCHAR(20),
    ENTE_RIL        VARCHAR(40)
);

-- Delivery places; PREDEF -1 marks the customer's default one.
CREATE TABLE CONS_MERCE (
    CLIENTE         INTEGER     NOT NULL,
    COD_LUOGO       INTEGER     NOT NULL,
    DESC_LUOGO      VARCHAR(60),
    INDIRIZZO       VARCHAR(60),
    CITTA           VARCHAR(40),
    CAP             VARCHAR(5),
    PROV            VARCHAR(2),
    KKMM            DOUBLE PRECISION DEFAULT 0,
    RADIALE         VARCHAR(10),
    PREDEF          SMALLINT    DEFAULT 0,
    PRIMARY KEY (CLIENTE, COD_LUOGO)
);

-- Suppliers and agents. AGENTE 'A' agent, ' ' supplier. BANCA_APP and
-- BANCA_PAG hold a bank code or its kind ("APP", "PAG").
CREATE TABLE ANAG_FOR (
    FORNITORE       INTEGER     NOT NULL PRIMARY KEY,
    CODICE2         VARCHAR(7),
    RAG_SOC1        VARCHAR(60),
    RAG_SOC2        VARCHAR(60),
    INDIRIZZO_LEG   VARCHAR(60),
    CITTA_LEG       VARCHAR(40),
    CAP_LEG         VARCHAR(5),
    PROVINCIA_LEG   VARCHAR(2),
    INDIRIZZO_AMM   VARCHAR(60),
    CITTA_AMM       VARCHAR(40),
    CAP_AMM         VARCHAR(5),
    PROVINCIA_AMM   VARCHAR(2),
    PART_IVA        VARCHAR(11),
    COD_FISC        VARCHAR(16),
    TELEFONO1       VARCHAR(20),
    TELEFONO2       VARCHAR(20),
    FAX             VARCHAR(20),
    E_MAIL          VARCHAR(60),
    WEB             VARCHAR(100),
    COND_PAG        VARCHAR(3),
    NRO_CONTO       VARCHAR(20),
    COD_ATTIVITA    VARCHAR(6),
    COD_MERCE       VARCHAR(6),
    TIPO_CAUSALE    VARCHAR(2),
    CAUSALE         VARCHAR(6),
    CONTO_COSTO     VARCHAR(6),
    CONTO_PATRIM    VARCHAR(6),
    ELENCO_FORN     VARCHAR(1),
    PERS_SOC        VARCHAR(1),
    TIPO_FORN       VARCHAR(2),
    UBICAZIONE      VARCHAR(1),
    CODICE_ISO      VARCHAR(2),
    PART_IVA_CEE    VARCHAR(20),
    REGISTRO_IVA    VARCHAR(2),
    AGENTE          VARCHAR(1)  DEFAULT ' ',
    PERC_PROV       DOUBLE PRECISION DEFAULT 0,
    NOTE1           VARCHAR(250),
    BANCA_APP       VARCHAR(5),
    BANCA_PAG       VARCHAR(5),
    NAZIONE         VARCHAR(3),
    TIPOLISTINO     VARCHAR(1)
);

CREATE UNIQUE INDEX ANAG_FOR_CODICE2_UPPER ON ANAG_FOR (UPPER(CODICE2)) WHERE CODICE2 IS NOT NULL AND CODICE2 <> '';
CREATE INDEX ANAG_FOR_RAG_SOC1_UPPER ON ANAG_FOR (UPPER(RAG_SOC1));
CREATE INDEX ANAG_FOR_CITTA_LEG_UPPER ON ANAG_FOR (UPPER(CITTA_LEG));
CREATE INDEX ANAG_FOR_PART_IVA ON ANAG_FOR (PART_IVA);
CREATE INDEX ANAG_FOR_COD_FISC ON ANAG_FOR (COD_FISC);

CREATE TABLE CONT_FOR (
    FORNITORE       INTEGER     NOT NULL PRIMARY KEY,
    RESPONSABILE    VARCHAR(60),
    DESCRIZIONE1    VARCHAR(60),
    DESCRIZIONE2    VARCHAR(60),
    TELEFONO1       VARCHAR(20),
    TELEFONO2       VARCHAR(20),
    FAX             VARCHAR(20)
);

-- Withholding-tax data; INIZIO_RAP and FINE_RAP bound the working
-- relationship, MATRIC_ENA is the agent's pension-fund number.
CREATE TABLE RIT_FOR (
    FORNITORE       INTEGER     NOT NULL PRIMARY KEY,
    CAUSALE         VARCHAR(4),
    CITTA_NASC      VARCHAR(40),
    PROV_NASC       VARCHAR(2),
    NAZ_NASC        VARCHAR(3),
    DATA_NASC       DATE,
    FIR             VARCHAR(20),
    MATRIC_ENA      VARCHAR(20),
    INIZIO_RAP      DATE,
    FINE_RAP        DATE,
    SESSO           VARCHAR(1)
);

-- The agents' names, kept in step with their ANAG_FOR rows (CODICE = FORNITORE).
CREATE TABLE AGENTI (
    CODICE          INTEGER     NOT NULL PRIMARY KEY,
    RAG_SOC1        VARCHAR(60),
    RAG_SOC2        VARCHAR(60)
);

-- Discounts per party and brand (999 = every brand), percent; PERC_RIC is
-- the customer's markup.
CREATE TABLE TAB_SCONCLI (
    CLIENTE         INTEGER     NOT NULL,
    MARCA           VARCHAR(3)  NOT NULL,
    SC_V1           DOUBLE PRECISION DEFAULT 0,
    SC_V2           DOUBLE PRECISION DEFAULT 0,
    SC_V3           DOUBLE PRECISION DEFAULT 0,
    PERC_RIC        DOUBLE PRECISION DEFAULT 0,
    PRIMARY KEY (CLIENTE, MARCA)
);

CREATE TABLE TAB_SCONFOR (
    FORNITORE       INTEGER     NOT NULL,
    MARCA           VARCHAR(3)  NOT NULL,
    SC_A1           DOUBLE PRECISION DEFAULT 0,
    SC_A2           DOUBLE PRECISION DEFAULT 0,
    SC_A3           DOUBLE PRECISION DEFAULT 0,
    PRIMARY KEY (FORNITORE, MARCA)
);

-- Purchase list: the list price less the three discounts in cascade.
CREATE TABLE LIST_ACQ (
    FORNITORE       INTEGER     NOT NULL,
    MARCA           VARCHAR(3)  NOT NULL,
    ARTICOLO        VARCHAR(30) NOT NULL,
    PR_LISTINO      DOUBLE PRECISION DEFAULT 0,
    SC_A1           DOUBLE PRECISION DEFAULT 0,
    SC_A2           DOUBLE PRECISION DEFAULT 0,
    SC_A3           DOUBLE PRECISION DEFAULT 0,
    PR_ACQUISTO     DOUBLE PRECISION DEFAULT 0,
    PR_ACQFISSO     DOUBLE PRECISION DEFAULT 0,
    PRIMARY KEY (FORNITORE, MARCA, ARTICOLO)
);

-- An item's price change reaches every list row of the item.
CREATE INDEX LIST_ACQ_ARTICOLO ON LIST_ACQ (MARCA, ARTICOLO);

-- Sale list per customer, item and supplier: discounted price and the
-- supplier's purchase price with the customer's markup.
CREATE TABLE LIST_VEN (
    CLIENTE         INTEGER     NOT NULL,
    MARCA           VARCHAR(3)  NOT NULL,
    ARTICOLO        VARCHAR(30) NOT NULL,
    FORNITORE       INTEGER     NOT NULL,
    PR_LISTINO      DOUBLE PRECISION DEFAULT 0,
    SC_V1           DOUBLE PRECISION DEFAULT 0,
    SC_V2           DOUBLE PRECISION DEFAULT 0,
    SC_V3           DOUBLE PRECISION DEFAULT 0,
    PR_VENDITA      DOUBLE PRECISION DEFAULT 0,
    SC_A1           DOUBLE PRECISION DEFAULT 0,
    SC_A2           DOUBLE PRECISION DEFAULT 0,
    SC_A3           DOUBLE PRECISION DEFAULT 0,
    PR_ACQUISTO     DOUBLE PRECISION DEFAULT 0,
    PERC_RIC        DOUBLE PRECISION DEFAULT 0,
    PR_RICARICATO   DOUBLE PRECISION DEFAULT 0,
    PR_VENFISSO     DOUBLE PRECISION DEFAULT 0,
    PRIMARY KEY (CLIENTE, MARCA, ARTICOLO, FORNITORE)
);

CREATE INDEX LIST_VEN_ARTICOLO ON LIST_VEN (MARCA, ARTICOLO);
-- A supplier's rows go with its list or discounts.
CREATE INDEX LIST_VEN_FORNITORE ON LIST_VEN (FORNITORE, MARCA);

-- Each user's rows for printing the discounted sale list, refilled before
-- every print. No key: rows of one item may differ by supplier.
CREATE TABLE LIST_VEN_RIEP (
    MARCA           VARCHAR(3),
    ARTICOLO        VARCHAR(30),
    CLIENTE         INTEGER,
    UTENTE          VARCHAR(20),
    PR_LISTINO      DOUBLE PRECISION DEFAULT 0,
    SC_V1           DOUBLE PRECISION DEFAULT 0,
    SC_V2           DOUBLE PRECISION DEFAULT 0,
    SC_V3           DOUBLE PRECISION DEFAULT 0,
    PR_VENDITA      DOUBLE PRECISION DEFAULT 0,
    PR_VENFISSO     DOUBLE PRECISION DEFAULT 0
);

CREATE INDEX LIST_VEN_RIEP_UTENTE ON LIST_VEN_RIEP (UTENTE);
