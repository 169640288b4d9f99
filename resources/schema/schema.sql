-- The data store of a freshly delivered instrument: every table the program uses, with its
-- columns in the order the program relies on (several readers take fields by position and
-- several inserts give values without a column list), and the rows an instrument holds before
-- any screen has written anything.
--
-- Types: texts TEXT, whole numbers INTEGER, numbers with decimals REAL, Yes/No switches INTEGER
-- 0/1. Names that start with a digit are quoted.
--
-- The program runs this file only when Vantorium.mdb does not exist; the start-up column
-- upgrades then run over the new file as over any other. Keep the two in step: a column added
-- here at the end of a table is one an older file gains by an upgrade.

-- One row of system settings. The first 27 columns are the ones the start-up's default row
-- fills by position (volumes in mL at 10 to 12, new bottle sizes in litres at 21 to 23); the
-- ten after them are the ones the start-up upgrade adds to an older file, in its order.
CREATE TABLE SysSetting (
  SerialNum TEXT,
  Printer INTEGER,
  PrintInstant INTEGER,
  PrintFormat INTEGER,
  UnitName TEXT,
  DormancyTime INTEGER,
  AutoCleanTime INTEGER,
  SLanguage INTEGER,
  IsKJKB INTEGER,
  DiluentVol REAL,
  LyseVol REAL,
  CleanerVol REAL,
  DiluentReplDate TEXT,
  LyseReplDate TEXT,
  CleanerReplDate TEXT,
  IsModelChangePrompt INTEGER,
  IsTransInstant INTEGER,
  HistoryListSortStyle INTEGER,
  BlockTime REAL,
  LeakTime REAL,
  NewDiluentVol REAL,
  NewLyseVol REAL,
  NewCleanerVol REAL,
  AdjustGraph INTEGER DEFAULT 0,
  ReviseVol REAL DEFAULT 0,
  LyseReviseVol REAL DEFAULT 0,
  CleanerReviseVol REAL DEFAULT 0,
  PrintPgHeader INTEGER DEFAULT 20,
  TestDefaultMode INTEGER DEFAULT 0,
  ReagentAlarmType INTEGER DEFAULT 0,
  IsOpenSoakTips INTEGER DEFAULT 1,
  IsOpenAjustHistogram INTEGER DEFAULT 0,
  IsKJQX INTEGER DEFAULT 1,
  SetSoakTimes INTEGER DEFAULT 200,
  SetSoakDays INTEGER DEFAULT 7,
  DeviceTestTimes INTEGER DEFAULT 0,
  SoakDaysStartDate TEXT DEFAULT '2015-10-26 9:25:2'
);

-- One row per counted sample, keyed by SampleNo and TestDate ("YYYY-MM-DD"). SampleNo is
-- column 0 and the 20 result texts (store order) columns 15 to 34.
CREATE TABLE Person (
  SampleNo TEXT,
  TestDate TEXT,
  TestTime TEXT,
  Name TEXT,
  Sex TEXT,
  Age INTEGER,
  AgeUnit TEXT,
  BloodType TEXT,
  ReferValue TEXT,
  MedicalNo TEXT,
  BedNo TEXT,
  Dept TEXT,
  Sender TEXT,
  Scrutator TEXT,
  Checker TEXT,
  WBC TEXT,
  LYMA TEXT,
  MONA TEXT,
  GRAA TEXT,
  LYMP TEXT,
  MONP TEXT,
  GRAP TEXT,
  RBC TEXT,
  HGB TEXT,
  MCHC TEXT,
  MCH TEXT,
  MCV TEXT,
  RDWCV TEXT,
  RDWSD TEXT,
  HCT TEXT,
  PLT TEXT,
  MPV TEXT,
  PDW TEXT,
  PCT TEXT,
  PLCR TEXT,
  Warning TEXT,
  WBCUnit TEXT,
  RBCUnit TEXT,
  HGBUnit TEXT,
  MCHCUnit TEXT,
  HCTUnit TEXT,
  PLTUnit TEXT,
  PCTUnit TEXT,
  RefText TEXT,
  Abnormal INTEGER DEFAULT 0,
  OriginalWbc REAL DEFAULT 0,
  WMARKER2 REAL DEFAULT 0,
  WMARKER3 REAL DEFAULT 0,
  PMARKER1 REAL,
  PMARKER2 REAL,
  CountInputs TEXT
);

CREATE INDEX PersonByDate ON Person(TestDate, TestTime);

CREATE INDEX PersonBySample ON Person(SampleNo, TestDate);

-- The rows without a WBC (profiles entered ahead of their count, emptied rows): the results
-- browser's purge of empty rows looks only at these.
-- The names: a search for a part of a name reads every name, and reads them here. (Wider than
-- the other indexes, so that a query without an order keeps reading them in their order.)
CREATE INDEX PersonByName ON Person(Name, TestDate, TestTime);

CREATE INDEX PersonWithoutResult ON Person(TestDate) WHERE coalesce(WBC,'')='';

-- Running minutes of earlier runs and the sample counters; one row.
CREATE TABLE Statistic (
  TotalTime INTEGER,
  SampleCountToday INTEGER DEFAULT 0,
  SampleCountAll INTEGER DEFAULT 0,
  DateToday TEXT
);

-- The system log: four texts in the language in force when the row was written.
CREATE TABLE SysLog (
  Date TEXT,
  Time TEXT,
  Event TEXT,
  Result TEXT
);

CREATE INDEX SysLogByTime ON SysLog(Date, Time);

-- Log-on accounts. UserType 1 Administrator, 2 Engineer, 3 Factory.
CREATE TABLE Users (
  UserName TEXT,
  UserType INTEGER,
  Pwd TEXT
);

-- Board adjustment values sent at every start (count times in tenths of a second); one row.
CREATE TABLE EngineeringAdjust (
  ZYDW1 INTEGER,
  ZYDW2 INTEGER,
  ZYDW3 INTEGER,
  ZYDW4 INTEGER,
  MKDYDW1 INTEGER,
  MKDYDW2 INTEGER,
  MKDYDW3 INTEGER,
  MKDYDW4 INTEGER,
  FPRESSURE INTEGER,
  APRESSURE INTEGER,
  WBCTIME INTEGER,
  RBCTIME INTEGER,
  PARA1 INTEGER,
  PARA2 INTEGER,
  PARA3 INTEGER,
  PARA4 INTEGER
);

-- Needle positions sent at every start; one row.
CREATE TABLE EngineeringDebug (
  Needle1 INTEGER,
  Needle2 INTEGER,
  Needle3 INTEGER,
  Needle4 INTEGER,
  Needle5 INTEGER
);

-- Display unit per unit slot and decimal count per parameter group; one row. The decimals are
-- read by position (columns 7 to 20).
CREATE TABLE ParasUnit (
  WBC TEXT,
  RBC TEXT,
  HGB TEXT,
  MCHC TEXT,
  HCT TEXT,
  PLT TEXT,
  PCT TEXT,
  WBCPoint INTEGER,
  WBCPPoint INTEGER,
  RBCPoint INTEGER,
  HGBPoint INTEGER,
  MCHCPoint INTEGER,
  HCTPoint INTEGER,
  MCVPoint INTEGER,
  MCHPoint INTEGER,
  RDWCVPoint INTEGER,
  RDWSDPoint INTEGER,
  PLTPoint INTEGER,
  MPVPoint INTEGER,
  PCTPoint INTEGER,
  PDWPoint INTEGER
);

-- Calibration factors per blood mode (0 whole blood, 1 peripheral, 2 pre-diluted), their dates
-- and the user calibration percents. Factors are read by position (columns 1 to 20).
CREATE TABLE CalibrationCoef (
  BloodType INTEGER,
  WBC REAL,
  LYMA REAL,
  MONA REAL,
  GRAA REAL,
  LYMP REAL,
  MONP REAL,
  GRAP REAL,
  RBC REAL,
  HGB REAL,
  MCHC REAL,
  MCH REAL,
  MCV REAL,
  RDWCV REAL,
  RDWSD REAL,
  HCT REAL,
  PLT REAL,
  MPV REAL,
  PDW REAL,
  PCT REAL,
  PLCR REAL,
  WBC_CT TEXT,
  LYMA_CT TEXT,
  MONA_CT TEXT,
  GRAA_CT TEXT,
  LYMP_CT TEXT,
  MONP_CT TEXT,
  GRAP_CT TEXT,
  RBC_CT TEXT,
  HGB_CT TEXT,
  MCHC_CT TEXT,
  MCH_CT TEXT,
  MCV_CT TEXT,
  RDWCV_CT TEXT,
  RDWSD_CT TEXT,
  HCT_CT TEXT,
  PLT_CT TEXT,
  MPV_CT TEXT,
  PDW_CT TEXT,
  PCT_CT TEXT,
  PLCR_CT TEXT,
  WBC_D REAL DEFAULT 100,
  RBC_D REAL DEFAULT 100,
  HGB_D REAL DEFAULT 100,
  MCV_D REAL DEFAULT 100,
  RDWCV_D REAL DEFAULT 100,
  RDWSD_D REAL DEFAULT 100,
  PLT_D REAL DEFAULT 100,
  MPV_D REAL DEFAULT 100,
  PDW_D REAL DEFAULT 100,
  PLCR_D REAL DEFAULT 100
);

-- Calibrator batches. MCHC, HCT and PCT are carried only so that the unit rescale, which names
-- them, runs.
CREATE TABLE AutoCalibration (
  BatchNo TEXT,
  ExpDate TEXT,
  BloodType INTEGER,
  WBC REAL,
  RBC REAL,
  HGB REAL,
  MCV REAL,
  PLT REAL,
  C1 INTEGER,
  C2 INTEGER,
  C3 INTEGER,
  C4 INTEGER,
  C5 INTEGER,
  MCHC REAL,
  HCT REAL,
  PCT REAL
);

-- Normal ranges per patient group (Kind 0 to 9). Readers take the 40 limits by position
-- (columns 2 to 41); writers name their columns, so ID numbers itself.
CREATE TABLE NormalLimits (
  ID INTEGER PRIMARY KEY,
  Kind INTEGER,
  WBCL REAL,
  WBCH REAL,
  LYMAL REAL,
  LYMAH REAL,
  MONAL REAL,
  MONAH REAL,
  GRAAL REAL,
  GRAAH REAL,
  LYMPL REAL,
  LYMPH REAL,
  MONPL REAL,
  MONPH REAL,
  GRAPL REAL,
  GRAPH REAL,
  RBCL REAL,
  RBCH REAL,
  HGBL REAL,
  HGBH REAL,
  MCHCL REAL,
  MCHCH REAL,
  MCHL REAL,
  MCHH REAL,
  MCVL REAL,
  MCVH REAL,
  RDWCVL REAL,
  RDWCVH REAL,
  RDWSDL REAL,
  RDWSDH REAL,
  HCTL REAL,
  HCTH REAL,
  PLTL REAL,
  PLTH REAL,
  MPVL REAL,
  MPVH REAL,
  PDWL REAL,
  PDWH REAL,
  PCTL REAL,
  PCTH REAL,
  PLCRL REAL,
  PLCRH REAL
);

-- Panic limits, the same layout as NormalLimits.
CREATE TABLE PathologyLimits (
  ID INTEGER PRIMARY KEY,
  Kind INTEGER,
  WBCL REAL,
  WBCH REAL,
  LYMAL REAL,
  LYMAH REAL,
  MONAL REAL,
  MONAH REAL,
  GRAAL REAL,
  GRAAH REAL,
  LYMPL REAL,
  LYMPH REAL,
  MONPL REAL,
  MONPH REAL,
  GRAPL REAL,
  GRAPH REAL,
  RBCL REAL,
  RBCH REAL,
  HGBL REAL,
  HGBH REAL,
  MCHCL REAL,
  MCHCH REAL,
  MCHL REAL,
  MCHH REAL,
  MCVL REAL,
  MCVH REAL,
  RDWCVL REAL,
  RDWCVH REAL,
  RDWSDL REAL,
  RDWSDH REAL,
  HCTL REAL,
  HCTH REAL,
  PLTL REAL,
  PLTH REAL,
  MPVL REAL,
  MPVH REAL,
  PDWL REAL,
  PDWH REAL,
  PCTL REAL,
  PCTH REAL,
  PLCRL REAL,
  PLCRH REAL
);

-- The three print templates; P1 to P20 (store order) are read by position (columns 2 to 21).
CREATE TABLE PrintItemsSet (
  ModelNo INTEGER,
  IsDefault INTEGER,
  P1 INTEGER,
  P2 INTEGER,
  P3 INTEGER,
  P4 INTEGER,
  P5 INTEGER,
  P6 INTEGER,
  P7 INTEGER,
  P8 INTEGER,
  P9 INTEGER,
  P10 INTEGER,
  P11 INTEGER,
  P12 INTEGER,
  P13 INTEGER,
  P14 INTEGER,
  P15 INTEGER,
  P16 INTEGER,
  P17 INTEGER,
  P18 INTEGER,
  P19 INTEGER,
  P20 INTEGER
);

-- LIS serial line settings as list indexes; one row.
CREATE TABLE CommSet (
  Bauds INTEGER,
  DataBits INTEGER,
  Parity INTEGER,
  StopBits INTEGER
);

-- Departments, SeqNo 1..N.
CREATE TABLE Department (
  SeqNo INTEGER,
  Dept TEXT
);

-- Doctors, SeqNo 1..N; the role columns hold 'Y' or 'N'.
CREATE TABLE Doctor (
  SeqNo INTEGER,
  Name TEXT,
  Dept TEXT,
  Sender TEXT,
  Scrutator TEXT,
  Checker TEXT
);

-- Levey-Jennings QC files 1 to 20: batch, target and one SD per parameter, rule switches,
-- parameters under QC. Read and inserted by position.
CREATE TABLE LJQCSet (
  QcFileNo INTEGER,
  BatchNo TEXT,
  ExpDate TEXT,
  WBCRV REAL,
  WBCLV REAL,
  LYMARV REAL,
  LYMALV REAL,
  MONARV REAL,
  MONALV REAL,
  GRAARV REAL,
  GRAALV REAL,
  LYMPRV REAL,
  LYMPLV REAL,
  MONPRV REAL,
  MONPLV REAL,
  GRAPRV REAL,
  GRAPLV REAL,
  RBCRV REAL,
  RBCLV REAL,
  HGBRV REAL,
  HGBLV REAL,
  MCHCRV REAL,
  MCHCLV REAL,
  MCHRV REAL,
  MCHLV REAL,
  MCVRV REAL,
  MCVLV REAL,
  RDW_CVRV REAL,
  RDW_CVLV REAL,
  RDW_SDRV REAL,
  RDW_SDLV REAL,
  HCTRV REAL,
  HCTLV REAL,
  PLTRV REAL,
  PLTLV REAL,
  MPVRV REAL,
  MPVLV REAL,
  PDWRV REAL,
  PDWLV REAL,
  PCTRV REAL,
  PCTLV REAL,
  P_LCRRV REAL,
  P_LCRLV REAL,
  Out3SD INTEGER,
  "2Out2SD" INTEGER,
  "5SideSDTo2SD" INTEGER,
  "7Side" INTEGER,
  Q1 INTEGER,
  Q2 INTEGER,
  Q3 INTEGER,
  Q4 INTEGER,
  Q5 INTEGER,
  Q6 INTEGER,
  Q7 INTEGER,
  Q8 INTEGER,
  Q9 INTEGER,
  Q10 INTEGER,
  Q11 INTEGER,
  Q12 INTEGER,
  Q13 INTEGER,
  Q14 INTEGER,
  Q15 INTEGER,
  Q16 INTEGER,
  Q17 INTEGER,
  Q18 INTEGER,
  Q19 INTEGER,
  Q20 INTEGER
);

-- Levey-Jennings runs; values in store order (columns 3 to 22), -1 invalid, -2 not under QC.
CREATE TABLE LJQCRunResult (
  QcFileNo INTEGER,
  TestDate TEXT,
  TestTime TEXT,
  WBC REAL,
  LYMA REAL,
  MONA REAL,
  GRAA REAL,
  LYMP REAL,
  MONP REAL,
  GRAP REAL,
  RBC REAL,
  HGB REAL,
  MCHC REAL,
  MCH REAL,
  MCV REAL,
  RDWCV REAL,
  RDWSD REAL,
  HCT REAL,
  PLT REAL,
  MPV REAL,
  PDW REAL,
  PCT REAL,
  PLCR REAL,
  WBCUnit TEXT,
  RBCUnit TEXT,
  HGBUnit TEXT,
  MCHCUnit TEXT,
  HCTUnit TEXT,
  PLTUnit TEXT,
  PCTUnit TEXT
);

-- X-R QC files 1 to 20.
CREATE TABLE XRQCSet (
  QcFileNo INTEGER,
  BatchNo TEXT,
  ExpDate TEXT,
  GroupNum INTEGER,
  NumPerGroup INTEGER
);

-- X-R results. The charts read the values by position in this order (WBC RBC HGB PLT first).
CREATE TABLE XRQCRunResult (
  QcFileNo INTEGER,
  TestDate TEXT,
  TestTime TEXT,
  WBC REAL,
  RBC REAL,
  HGB REAL,
  PLT REAL,
  LYMA REAL,
  MONA REAL,
  GRAA REAL,
  LYMP REAL,
  MONP REAL,
  GRAP REAL,
  MCHC REAL,
  MCH REAL,
  MCV REAL,
  RDWCV REAL,
  RDWSD REAL,
  HCT REAL,
  MPV REAL,
  PDW REAL,
  PCT REAL,
  PLCR REAL,
  WBCUnit TEXT,
  RBCUnit TEXT,
  HGBUnit TEXT,
  MCHCUnit TEXT,
  HCTUnit TEXT,
  PLTUnit TEXT,
  PCTUnit TEXT
);

-- The one X-B QC setting: targets and limits by position (columns 2 to 41), flags 42 to 61.
CREATE TABLE XBQCSet (
  SampleNum INTEGER,
  IsOn INTEGER,
  WBCRV REAL,
  WBCLV REAL,
  LYMARV REAL,
  LYMALV REAL,
  MONARV REAL,
  MONALV REAL,
  GRAARV REAL,
  GRAALV REAL,
  LYMPRV REAL,
  LYMPLV REAL,
  MONPRV REAL,
  MONPLV REAL,
  GRAPRV REAL,
  GRAPLV REAL,
  RBCRV REAL,
  RBCLV REAL,
  HGBRV REAL,
  HGBLV REAL,
  MCHCRV REAL,
  MCHCLV REAL,
  MCHRV REAL,
  MCHLV REAL,
  MCVRV REAL,
  MCVLV REAL,
  RDW_CVRV REAL,
  RDW_CVLV REAL,
  RDW_SDRV REAL,
  RDW_SDLV REAL,
  HCTRV REAL,
  HCTLV REAL,
  PLTRV REAL,
  PLTLV REAL,
  MPVRV REAL,
  MPVLV REAL,
  PDWRV REAL,
  PDWLV REAL,
  PCTRV REAL,
  PCTLV REAL,
  P_LCRRV REAL,
  P_LCRLV REAL,
  Q1 INTEGER,
  Q2 INTEGER,
  Q3 INTEGER,
  Q4 INTEGER,
  Q5 INTEGER,
  Q6 INTEGER,
  Q7 INTEGER,
  Q8 INTEGER,
  Q9 INTEGER,
  Q10 INTEGER,
  Q11 INTEGER,
  Q12 INTEGER,
  Q13 INTEGER,
  Q14 INTEGER,
  Q15 INTEGER,
  Q16 INTEGER,
  Q17 INTEGER,
  Q18 INTEGER,
  Q19 INTEGER,
  Q20 INTEGER
);

-- Patient results taken into X-B QC; -2 marks a parameter not followed.
CREATE TABLE XBQCRunResult (
  TestDate TEXT,
  TestTime TEXT,
  WBC REAL,
  LYMA REAL,
  MONA REAL,
  GRAA REAL,
  LYMP REAL,
  MONP REAL,
  GRAP REAL,
  RBC REAL,
  HGB REAL,
  MCHC REAL,
  MCH REAL,
  MCV REAL,
  RDWCV REAL,
  RDWSD REAL,
  HCT REAL,
  PLT REAL,
  MPV REAL,
  PDW REAL,
  PCT REAL,
  PLCR REAL,
  WBCUnit TEXT,
  RBCUnit TEXT,
  HGBUnit TEXT,
  MCHCUnit TEXT,
  HCTUnit TEXT,
  PLTUnit TEXT,
  PCTUnit TEXT
);

CREATE INDEX LJQCRunByFile ON LJQCRunResult(QcFileNo, TestDate, TestTime);

CREATE INDEX XRQCRunByFile ON XRQCRunResult(QcFileNo, TestDate, TestTime);

-- First rows of a delivered instrument.

-- The settings row: the 27 values the start-up writes into an empty table; the other columns
-- take their defaults.
INSERT INTO SysSetting (SerialNum, Printer, PrintInstant, PrintFormat, UnitName, DormancyTime,
  AutoCleanTime, SLanguage, IsKJKB, DiluentVol, LyseVol, CleanerVol, DiluentReplDate,
  LyseReplDate, CleanerReplDate, IsModelChangePrompt, IsTransInstant, HistoryListSortStyle,
  BlockTime, LeakTime, NewDiluentVol, NewLyseVol, NewCleanerVol, AdjustGraph, ReviseVol,
  LyseReviseVol, CleanerReviseVol)
VALUES ('', 0, 0, 1, '', 60, 60, 0, 0, 10000.000, 1000.000, 1000.000, '2009-3-1', '2009-3-1',
  '2009-3-1', 0, 0, 0, 5.00, 3.00, 10.00, 1.00, 1.00, 0, 0.00, 0.00, 0.00);

INSERT INTO Statistic VALUES (0, 0, 0, '');

-- The administrator's account; the start-up adds the engineer and factory accounts.
INSERT INTO Users VALUES ('Admin', 1, '6049');

-- Standard units with their default decimals.
INSERT INTO ParasUnit VALUES ('10^9/L', '10^12/L', 'g/L', 'g/L', '%', '10^9/L', '%',
  2, 1, 2, 0, 0, 1, 1, 1, 1, 1, 0, 1, 3, 1);

-- Neutral calibration for the three blood modes.
INSERT INTO CalibrationCoef VALUES (0,
  1.00, 1.00, 1.00, 1.00, 1.00, 1.00, 1.00, 1.00, 1.00, 1.00,
  1.00, 1.00, 1.00, 1.00, 1.00, 1.00, 1.00, 1.00, 1.00, 1.00,
  '2009-03-01', '2009-03-01', '2009-03-01', '2009-03-01', '2009-03-01', '2009-03-01', '2009-03-01',
  '2009-03-01', '2009-03-01', '2009-03-01', '2009-03-01', '2009-03-01', '2009-03-01', '2009-03-01',
  '2009-03-01', '2009-03-01', '2009-03-01', '2009-03-01', '2009-03-01', '2009-03-01',
  100, 100, 100, 100, 100, 100, 100, 100, 100, 100);
INSERT INTO CalibrationCoef VALUES (1,
  1.00, 1.00, 1.00, 1.00, 1.00, 1.00, 1.00, 1.00, 1.00, 1.00,
  1.00, 1.00, 1.00, 1.00, 1.00, 1.00, 1.00, 1.00, 1.00, 1.00,
  '2009-03-01', '2009-03-01', '2009-03-01', '2009-03-01', '2009-03-01', '2009-03-01', '2009-03-01',
  '2009-03-01', '2009-03-01', '2009-03-01', '2009-03-01', '2009-03-01', '2009-03-01', '2009-03-01',
  '2009-03-01', '2009-03-01', '2009-03-01', '2009-03-01', '2009-03-01', '2009-03-01',
  100, 100, 100, 100, 100, 100, 100, 100, 100, 100);
INSERT INTO CalibrationCoef VALUES (2,
  1.00, 1.00, 1.00, 1.00, 1.00, 1.00, 1.00, 1.00, 1.00, 1.00,
  1.00, 1.00, 1.00, 1.00, 1.00, 1.00, 1.00, 1.00, 1.00, 1.00,
  '2009-03-01', '2009-03-01', '2009-03-01', '2009-03-01', '2009-03-01', '2009-03-01', '2009-03-01',
  '2009-03-01', '2009-03-01', '2009-03-01', '2009-03-01', '2009-03-01', '2009-03-01', '2009-03-01',
  '2009-03-01', '2009-03-01', '2009-03-01', '2009-03-01', '2009-03-01', '2009-03-01',
  100, 100, 100, 100, 100, 100, 100, 100, 100, 100);

-- Start-up board values: count times 5.0 s and 1.0 s, the pressures at their base values.
INSERT INTO EngineeringAdjust VALUES (0, 0, 0, 0, 0, 0, 0, 0, 2300, 2335, 50, 10, 0, 0, 0, 0);
INSERT INTO EngineeringDebug VALUES (0, 0, 0, 0, 0);

-- Three print templates printing every parameter; the first is the default.
INSERT INTO PrintItemsSet VALUES (1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1);
INSERT INTO PrintItemsSet VALUES (2, 0, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1);
INSERT INTO PrintItemsSet VALUES (3, 0, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1);

-- Normal ranges of the General group in the standard units; the other groups get theirs when
-- the operator saves them.
INSERT INTO NormalLimits (
  Kind, WBCL, WBCH, LYMAL, LYMAH, MONAL, MONAH, GRAAL, GRAAH, LYMPL, LYMPH, MONPL, MONPH,
  GRAPL, GRAPH, RBCL, RBCH, HGBL, HGBH, MCHCL, MCHCH, MCHL, MCHH, MCVL, MCVH, RDWCVL, RDWCVH,
  RDWSDL, RDWSDH, HCTL, HCTH, PLTL, PLTH, MPVL, MPVH, PDWL, PDWH, PCTL, PCTH, PLCRL, PLCRH)
VALUES (
  0, 4.00, 10.00, 0.80, 4.00, 0.10, 0.90, 2.00, 7.00, 20.00, 40.00, 3.00, 9.00, 50.00, 70.00,
  3.50, 5.50, 110.00, 160.00, 320.00, 360.00, 27.00, 34.00, 80.00, 100.00, 11.00, 16.00, 35.00,
  56.00, 37.00, 54.00, 100.00, 300.00, 6.50, 12.00, 9.00, 17.00, 0.11, 0.28, 11.00, 45.00);

-- LIS serial line: 115200 baud, 8 data bits, no parity, 1 stop bit.
INSERT INTO CommSet VALUES (4, 3, 0, 0);
