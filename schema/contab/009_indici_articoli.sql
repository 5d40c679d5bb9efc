-- The stock situation the stock search lists and LISESART prints: each item
-- with its brand's description, what is available (on hand less committed
-- less ordered) and the states the search offers as 'S'/'N' (on hand below
-- the minimum, not zero, negative; an opening stock), one definition for
-- the screen and the print. Reports compare texts alike on both engines.
CREATE VIEW SITUAZIONE_ARTICOLI AS
SELECT A.MAGAZZINO, A.MARCA, M.DESCRIZIONE AS DESC_MARCA, A.ARTICOLO, A.DESC_ART,
       A.TIPO_ART, A.UNITA_MIS, A.COD_IVA, A.COD_MERCE, A.COD_STATIS, A.COD_BARRE,
       A.ESISTENZA, A.GC_INIZ, A.VAL_INIZ, A.IMPEGNATO, A.VAL_IMPEGN, A.ORDINATO, A.VAL_ORDIN,
       COALESCE(A.ESISTENZA, 0) - COALESCE(A.IMPEGNATO, 0) - COALESCE(A.ORDINATO, 0) AS DISPONIBILE,
       A.SCORTA_MIN,
       CASE WHEN A.ESISTENZA < A.SCORTA_MIN THEN 'S' ELSE 'N' END AS SOTTO_SCORTA,
       CASE WHEN A.ESISTENZA <> 0 THEN 'S' ELSE 'N' END AS CON_ESISTENZA,
       CASE WHEN A.ESISTENZA < 0 THEN 'S' ELSE 'N' END AS ESISTENZA_NEGATIVA,
       CASE WHEN A.GC_INIZ <> 0 THEN 'S' ELSE 'N' END AS CON_GIAC_INIZ
FROM ARTICOLI A
LEFT JOIN TAB_MARCHE M ON M.CODICE = A.MARCA;

-- The item lists in brand and code order: a description searched word by
-- word is read from the index alone, in the list's order, and the table
-- only for the rows found. It serves brand and code as the index it
-- replaces did.
CREATE INDEX ARTICOLI_LISTA ON ARTICOLI (MARCA, ARTICOLO, MAGAZZINO, DESC_ART);
DROP INDEX ARTICOLI_MARCA_ARTICOLO;
