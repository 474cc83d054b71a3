<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US" sourcelanguage="ko_KR">
<context>
    <name>AppContext</name>
    <message>
        <source>프로그램 수행도중 오류가 발생했습니다.</source>
        <translation>An error occurred while the program was running.</translation>
    </message>
</context>
<context>
    <name>Backup</name>
    <message>
        <source>장부를 읽을 수 없습니다: %1</source>
        <translation>The books cannot be read: %1</translation>
    </message>
    <message>
        <source>백업을 쓰지 못했습니다: %1</source>
        <translation>The backup could not be written: %1</translation>
    </message>
    <message>
        <source>백업 파일을 열 수 없습니다: %1</source>
        <translation>The backup file cannot be opened: %1</translation>
    </message>
    <message>
        <source>백업 파일이 손상되었습니다: %1</source>
        <translation>The backup file is damaged: %1</translation>
    </message>
    <message>
        <source>백업 파일을 읽을 수 없습니다: %1</source>
        <translation>The backup file cannot be read: %1</translation>
    </message>
    <message>
        <source>백업 파일의 자료 수가 원본과 다릅니다: %1</source>
        <translation>The backup file holds a different number of entries than the original: %1</translation>
    </message>
    <message>
        <source>Tallox의 장부가 아닙니다</source>
        <translation>These are not Tallox books</translation>
    </message>
    <message>
        <source>백업 설명 파일을 쓸 수 없습니다: %1 (%2)</source>
        <translation>The backup description file cannot be written: %1 (%2)</translation>
    </message>
    <message>
        <source>Tallox 백업이 아닙니다: %1</source>
        <translation>This is not a Tallox backup: %1</translation>
    </message>
    <message>
        <source>백업에 파일이 없습니다: %1</source>
        <translation>A file is missing from the backup: %1</translation>
    </message>
    <message>
        <source>백업 폴더가 없습니다: %1</source>
        <translation>The backup folder does not exist: %1</translation>
    </message>
    <message>
        <source>백업 폴더로 정한 곳이 폴더가 아닙니다: %1</source>
        <translation>The place chosen for backups is not a folder: %1</translation>
    </message>
    <message>
        <source>다른 백업이 진행중입니다: %1</source>
        <translation>Another backup is in progress: %1</translation>
    </message>
    <message>
        <source>백업 폴더에 쓸 수 없습니다: %1</source>
        <translation>Cannot write to the backup folder: %1</translation>
    </message>
    <message>
        <source>백업 폴더의 이름을 바꿀 수 없습니다: %1</source>
        <translation>The backup folder cannot be renamed: %1</translation>
    </message>
    <message>
        <source>장부 폴더에 쓸 수 없습니다: %1</source>
        <translation>Cannot write to the books folder: %1</translation>
    </message>
    <message>
        <source>오래된 백업을 지울 수 없습니다: %1</source>
        <translation>Old backups cannot be removed: %1</translation>
    </message>
    <message>
        <source>지금의 장부를 먼저 백업할 수 없어 복원하지 않았습니다. %1</source>
        <translation>Nothing was restored because the current books could not be backed up first. %1</translation>
    </message>
    <message>
        <source>복원을 마칠 수 없습니다: %1 (%2)</source>
        <translation>The restore cannot be finished: %1 (%2)</translation>
    </message>
    <message>
        <source>백업 %1 (자료 %2건)</source>
        <translation>backup %1 (%2 entries)</translation>
    </message>
    <message>
        <source>복원 내역을 쓸 수 없습니다: %1</source>
        <translation>Cannot write the restore&apos;s history row: %1</translation>
    </message>
    <message>
        <source>복원이 끝나지 않은 장부입니다: %1. Tallox 창을 열거나 &apos;tallox --rebuild&apos;를 실행하면 복원을 마칩니다.</source>
        <translation>A restore of these books was not finished: %1. Open the Tallox window or run &apos;tallox --rebuild&apos; to finish it.</translation>
    </message>
    <message>
        <source>백업은 했지만 장부의 기록을 파일에 합치지 못했습니다: %1</source>
        <translation>Backed up, but the log of the books could not be folded into their file: %1</translation>
    </message>
    <message>
        <source>%1: 백업 %2의 날짜가 컴퓨터의 시계보다 뒤라서 오래된 백업을 지우지 않았습니다. 컴퓨터의 날짜와 시각을 확인하세요.</source>
        <translation>%1: backup %2 is dated after the computer&apos;s clock, so no old backups were removed. Check the computer&apos;s date and time.</translation>
    </message>
    <message>
        <source>매일 백업</source>
        <translation>daily backup</translation>
    </message>
    <message>
        <source>직접 백업</source>
        <translation>manual backup</translation>
    </message>
    <message>
        <source>잔액 재정리 전</source>
        <translation>before rebuilding balances</translation>
    </message>
    <message>
        <source>복원 전</source>
        <translation>before a restore</translation>
    </message>
    <message>
        <source>자료 가져오기 전</source>
        <translation>before an import</translation>
    </message>
    <message>
        <source>yyyy년 M월 d일 (ddd) AP h:mm:ss</source>
        <comment>date and time format</comment>
        <translation>ddd, MMMM d, yyyy h:mm:ss AP</translation>
    </message>
    <message>
        <source>자료 수 모름</source>
        <translation>entries unknown</translation>
    </message>
    <message>
        <source>자료 %1건</source>
        <translation>%1 entries</translation>
    </message>
    <message>
        <source>자료 없음</source>
        <translation>no entries</translation>
    </message>
    <message>
        <source>마지막 자료 %1</source>
        <translation>last entry %1</translation>
    </message>
</context>
<context>
    <name>BackupDialog</name>
    <message>
        <source>백업하지 못한 곳이 있습니다. 장부는 그대로 쓸 수 있습니다.<byte value="xd"/>
<byte value="xd"/>
</source>
        <translation>Some backups could not be made. The books can still be used as they are.<byte value="xd"/>
<byte value="xd"/>
</translation>
    </message>
    <message>
        <source>백업했습니다.<byte value="xd"/>
<byte value="xd"/>
</source>
        <translation>Backup made.<byte value="xd"/>
<byte value="xd"/>
</translation>
    </message>
    <message>
        <source>백업에서 복원</source>
        <translation>Restore from Backup</translation>
    </message>
    <message>
        <source>백업 일시</source>
        <translation>Backed up on</translation>
    </message>
    <message>
        <source>자료 수</source>
        <translation>Entries</translation>
    </message>
    <message>
        <source>마지막 자료</source>
        <translation>Last entry</translation>
    </message>
    <message>
        <source>복원</source>
        <translation>Restore</translation>
    </message>
    <message>
        <source>취소</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>복원할 백업이 없습니다.</source>
        <translation>There is no backup to restore.</translation>
    </message>
    <message>
        <source>장부를 %1의 백업으로 되돌립니다.<byte value="xd"/>
지금의 장부는 먼저 백업합니다.<byte value="xd"/>
<byte value="xd"/>
진행하시겠습니까?</source>
        <translation>The books will be returned to the backup of %1.<byte value="xd"/>
The current books are backed up first.<byte value="xd"/>
<byte value="xd"/>
Do you want to continue?</translation>
    </message>
    <message>
        <source>백업에서 복원했습니다.</source>
        <translation>The books were restored from the backup.</translation>
    </message>
    <message>
        <source>종류</source>
        <translation>Kind</translation>
    </message>
    <message>
        <source>서버의 장부는 서버에서 백업하고 복원합니다 (pg_dump).</source>
        <translation>Books on a server are backed up and restored on the server (pg_dump).</translation>
    </message>
</context>
<context>
    <name>BooksCopy</name>
    <message>
        <source>복사할 곳에 이미 자료가 있습니다. 빈 장부에만 복사합니다: %1</source>
        <translation>The target already holds entries. Books can only be copied into empty books: %1</translation>
    </message>
    <message>
        <source>복사한 자료의 건수나 합계가 원본과 다릅니다. 복사하지 않았습니다.</source>
        <translation>The counts or totals of the copy differ from the original. The books were not copied.</translation>
    </message>
</context>
<context>
    <name>CardListWindow</name>
    <message>
        <source><byte value="xd"/>
<byte value="xd"/>
이 카드를 사용하는 장부 자료가 %1건 있습니다.<byte value="xd"/>
장부 자료는 지워지지 않고 카드코드를 그대로 가지며, 장부에서 카드명만 보이지 않게 됩니다.</source>
        <translation><byte value="xd"/>
<byte value="xd"/>
%1 ledger entries use this card.<byte value="xd"/>
They are not deleted and keep their card code; only the card name no longer shows in the ledger.</translation>
    </message>
    <message>
        <source>검   색</source>
        <translation>Search</translation>
    </message>
    <message>
        <source>추가(F2)</source>
        <translation>Add (F2)</translation>
    </message>
    <message>
        <source>새 카드사를 등록합니다 (F2)</source>
        <translation>Registers a new card company (F2)</translation>
    </message>
    <message>
        <source>수정(F3)</source>
        <translation>Edit (F3)</translation>
    </message>
    <message>
        <source>고른 카드사를 고칩니다 (F3, 두 번 누르기)</source>
        <translation>Edits the chosen card company (F3, double-click)</translation>
    </message>
    <message>
        <source>삭제(F4)</source>
        <translation>Delete (F4)</translation>
    </message>
    <message>
        <source>고른 카드사를 삭제합니다 (F4)</source>
        <translation>Deletes the chosen card company (F4)</translation>
    </message>
    <message>
        <source>닫기(&amp;C)</source>
        <translation>&amp;Close</translation>
    </message>
    <message>
        <source>창을 닫습니다 (Alt+C, Esc)</source>
        <translation>Closes the window (Alt+C, Esc)</translation>
    </message>
    <message>
        <source>신용카드 데이터베이스를 열 수 없습니다.</source>
        <translation>The credit card database cannot be opened.</translation>
    </message>
    <message>
        <source>수정할 카드를 선택하세요.</source>
        <translation>Choose the card to edit.</translation>
    </message>
    <message>
        <source>삭제할 카드를 선택하세요.</source>
        <translation>Choose the card to delete.</translation>
    </message>
    <message>
        <source>카드삭제</source>
        <translation>Delete Card</translation>
    </message>
    <message>
        <source>코드[%1]에 해당하는 자료를 삭제 할 수 없습니다.</source>
        <translation>The entry with code [%1] cannot be deleted.</translation>
    </message>
    <message>
        <source>해당 카드의 자료가 다른곳에서 사용되고 있어 삭제할 수 없습니다.</source>
        <translation>This card is in use elsewhere and cannot be deleted.</translation>
    </message>
    <message>
        <source>자료를 삭제하는 중 오류가 발생했습니다.</source>
        <translation>An error occurred while deleting the entry.</translation>
    </message>
    <message>
        <source>장부를 읽을 수 없어 카드를 삭제하지 않았습니다.</source>
        <translation>The ledger cannot be read, so the card was not deleted.</translation>
    </message>
</context>
<context>
    <name>CardSearch</name>
    <message>
        <source>신용카드 검색</source>
        <translation>Find Credit Card</translation>
    </message>
    <message>
        <source>등록된 신용카드가 없습니다.</source>
        <translation>No credit cards are registered.</translation>
    </message>
    <message>
        <source>검색한 신용카드가 등록되어 있지 않습니다.</source>
        <translation>The credit card you searched for is not registered.</translation>
    </message>
    <message>
        <source><byte value="xd"/>
신규 등록하겠습니까?</source>
        <translation><byte value="xd"/>
Do you want to register it as a new card?</translation>
    </message>
</context>
<context>
    <name>CardStore</name>
    <message>
        <source>자료를 저장하는 중 오류가 발생했습니다.</source>
        <translation>An error occurred while saving the entry.</translation>
    </message>
    <message>
        <source>CODE 생성 및 정의 오류입니다.</source>
        <translation>The code could not be created.</translation>
    </message>
</context>
<context>
    <name>CarryOverCheckDialog</name>
    <message>
        <source>이월금액이 장부와 맞지 않는 월: %1건, 이월금액이 없는 카드: %2건</source>
        <translation>Months whose carry-over does not match the ledger: %1, cards without a carry-over: %2</translation>
    </message>
    <message>
        <source>, 날짜가 잘못된 자료: %1건</source>
        <translation>, entries with a wrong date: %1</translation>
    </message>
    <message>
        <source>잔액 검증</source>
        <translation>Check Balances</translation>
    </message>
    <message>
        <source>잔액 재정리로 이월금액을 장부에서 다시 계산할 수 있습니다.</source>
        <translation>Rebuild Balances recalculates the carry-over amounts from the ledger.</translation>
    </message>
    <message>
        <source>잔액 재정리</source>
        <translation>Rebuild Balances</translation>
    </message>
    <message>
        <source>닫기</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>이월금액을 장부에서 다시 계산합니다</source>
        <translation>Recalculates the carry-over amounts from the ledger</translation>
    </message>
    <message>
        <source>창을 닫습니다 (Enter, Esc)</source>
        <translation>Closes the window (Enter, Esc)</translation>
    </message>
    <message>
        <source>카드코드</source>
        <translation>Card code</translation>
    </message>
    <message>
        <source>카드명</source>
        <translation>Card name</translation>
    </message>
    <message>
        <source>월</source>
        <translation>Month</translation>
    </message>
    <message>
        <source>이월금액</source>
        <translation>Carry-over</translation>
    </message>
    <message>
        <source>장부금액</source>
        <translation>Ledger amount</translation>
    </message>
    <message>
        <source>비고</source>
        <translation>Note</translation>
    </message>
    <message>
        <source>차이 %1</source>
        <translation>Difference %1</translation>
    </message>
    <message>
        <source>첫 거래 이전의 이월금액 없음</source>
        <translation>No carry-over before the first transaction</translation>
    </message>
    <message>
        <source>잘못된 날짜 (코드 %1)</source>
        <translation>Wrong date (code %1)</translation>
    </message>
</context>
<context>
    <name>CommandLine</name>
    <message>
        <source>데이터베이스 폴더가 없습니다: %1</source>
        <translation>The database folder does not exist: %1</translation>
    </message>
    <message>
        <source>데이터베이스 파일이 없습니다: %1</source>
        <translation>The database file does not exist: %1</translation>
    </message>
    <message>
        <source>%1 &apos;%2&apos;은(는) 날짜가 아닙니다 (가능한 형식: 2004-01-01, 20040101, 040101, 0101, 101, 1)</source>
        <translation>%1 &apos;%2&apos; is not a date (accepted forms: 2004-01-01, 20040101, 040101, 0101, 101, 1)</translation>
    </message>
    <message>
        <source>잔액 재정리</source>
        <translation>Rebuilding balances</translation>
    </message>
    <message>
        <source>이월금액을 재정리하지 못했습니다. 이월 테이블은 그대로입니다</source>
        <translation>The carry-over amounts could not be rebuilt. The carry-over table is unchanged</translation>
    </message>
    <message>
        <source>잔액 재정리를 완료 하였습니다: 카드사 %1곳, 이월 행 %2개</source>
        <translation>Balances rebuilt: %1 card companies, %2 carry-over rows</translation>
    </message>
    <message>
        <source>잔액을 검증할 수 없습니다</source>
        <translation>The balances cannot be checked</translation>
    </message>
    <message>
        <source>불일치: 카드코드 %1, %2월말 이월금액 %3, 원장 합계 %4</source>
        <translation>Mismatch: card code %1, carry-over at the end of %2 %3, ledger total %4</translation>
    </message>
    <message>
        <source>이월 없음: 카드코드 %1 (%2월부터 자료가 있으나 이월금액이 없습니다)</source>
        <translation>No carry-over: card code %1 (entries from %2 on, but no carry-over amount)</translation>
    </message>
    <message>
        <source>잘못된 날짜: 코드 %1, 일자 &apos;%2&apos;</source>
        <translation>Wrong date: code %1, date &apos;%2&apos;</translation>
    </message>
    <message>
        <source>잔액 검증: 이월금액이 모두 원장과 일치합니다.</source>
        <translation>Balance check: all carry-over amounts match the ledger.</translation>
    </message>
    <message>
        <source>잔액 검증: 불일치 %1건, 이월 없는 카드사 %2곳, 잘못된 날짜 %3건.</source>
        <translation>Balance check: %1 mismatches, %2 card companies without carry-over, %3 wrong dates.</translation>
    </message>
    <message>
        <source> &apos;tallox --rebuild&apos;로 재정리할 수 있습니다.</source>
        <translation> &apos;tallox --rebuild&apos; rebuilds them.</translation>
    </message>
    <message>
        <source> 잘못된 날짜의 자료는 어느 기간에도 들지 않습니다: 날짜를 고치거나 자료를 삭제하세요.</source>
        <translation> Entries with a wrong date fall into no period: correct the date or delete the entry.</translation>
    </message>
    <message>
        <source>월별 집계를 읽을 수 없습니다</source>
        <translation>The monthly summary cannot be read</translation>
    </message>
    <message>
        <source>PNG 파일을 쓸 수 없습니다: %1</source>
        <translation>The PNG file cannot be written: %1</translation>
    </message>
    <message>
        <source>집계를 읽을 수 없습니다</source>
        <translation>The summary cannot be read</translation>
    </message>
    <message>
        <source>카드 자료를 읽을 수 없습니다</source>
        <translation>The card data cannot be read</translation>
    </message>
    <message>
        <source>등록되지 않은 카드코드입니다: %1</source>
        <translation>This card code is not registered: %1</translation>
    </message>
    <message>
        <source>원장을 읽을 수 없습니다</source>
        <translation>The ledger cannot be read</translation>
    </message>
    <message>
        <source>출력 파일 이름이 폴더입니다: %1</source>
        <translation>The output file name is a folder: %1</translation>
    </message>
    <message>
        <source>출력 파일이 이미 있습니다: %1 (바꾸려면 --force를 주세요)</source>
        <translation>The output file already exists: %1 (give --force to replace it)</translation>
    </message>
    <message>
        <source>엑셀</source>
        <translation>Exporting to Excel</translation>
    </message>
    <message>
        <source>엑셀 파일을 쓸 수 없습니다: %1 (%2)</source>
        <translation>The Excel file cannot be written: %1 (%2)</translation>
    </message>
    <message>
        <source>엑셀로 내보냈습니다: %1 (%2 - %3, %4행)</source>
        <translation>Exported to Excel: %1 (%2 - %3, %4 rows)</translation>
    </message>
    <message>
        <source>인쇄</source>
        <translation>Printing</translation>
    </message>
    <message>
        <source>PDF 파일을 쓸 수 없습니다: %1</source>
        <translation>The PDF file cannot be written: %1</translation>
    </message>
    <message>
        <source>인쇄했습니다: %1 (%2 - %3, %4행, %5쪽)</source>
        <translation>Printed: %1 (%2 - %3, %4 rows, %5 pages)</translation>
    </message>
    <message>
        <source>시작일</source>
        <translation>Start date</translation>
    </message>
    <message>
        <source>종료일</source>
        <translation>End date</translation>
    </message>
    <message>
        <source>시작일 %1이(가) 종료일 %2보다 늦습니다.</source>
        <translation>The start date %1 is later than the end date %2.</translation>
    </message>
    <message>
        <source>데이터 베이스를 열 수 없습니다: %1</source>
        <translation>The database cannot be opened: %1</translation>
    </message>
    <message>
        <source>원장을 갱신할 수 없습니다: %1</source>
        <translation>The ledger cannot be brought up to date: %1</translation>
    </message>
    <message>
        <source>원장을 읽을 수 없습니다: %1</source>
        <translation>The ledger cannot be read: %1</translation>
    </message>
    <message>
        <source>백업했습니다: %1 (자료 %2건)</source>
        <translation>Backed up: %1 (%2 entries)</translation>
    </message>
    <message>
        <source>백업하지 못했습니다: </source>
        <translation>Backup failed: </translation>
    </message>
    <message>
        <source>%1: 백업 %2개</source>
        <translation>%1: %2 backups</translation>
    </message>
    <message>
        <source>백업 폴더가 없습니다: %1</source>
        <translation>The backup folder does not exist: %1</translation>
    </message>
    <message>
        <source>복원하지 않았습니다</source>
        <translation>Nothing was restored</translation>
    </message>
    <message>
        <source>복원했습니다: %1 (%2)</source>
        <translation>Restored: %1 (%2)</translation>
    </message>
    <message>
        <source>Tallox가 실행중입니다. 프로그램을 닫은 뒤 %1를 실행하세요.</source>
        <translation>Tallox is running. Close the program, then run %1.</translation>
    </message>
    <message>
        <source>--%1는 --demo에만 쓸 수 있습니다.</source>
        <translation>--%1 can only be used with --demo.</translation>
    </message>
    <message>
        <source>--card는 원장 명세서에만 쓸 수 있습니다.</source>
        <translation>--card can only be used with the ledger statement.</translation>
    </message>
    <message>
        <source>--card 다음에는 카드코드(1 이상의 정수)가 와야 합니다.</source>
        <translation>--card must be followed by a card code (a whole number of 1 or more).</translation>
    </message>
    <message>
        <source>%1 다음에는 0 이상의 정수가 와야 합니다.</source>
        <translation>%1 must be followed by a whole number of 0 or more.</translation>
    </message>
    <message>
        <source>알 수 없는 옵션입니다: %1</source>
        <translation>Unknown option: %1</translation>
    </message>
    <message>
        <source>인자가 부족합니다. &apos;tallox --help&apos;를 보세요.</source>
        <translation>Too few arguments. See &apos;tallox --help&apos;.</translation>
    </message>
    <message>
        <source>인자가 너무 많습니다: %1</source>
        <translation>Too many arguments: %1</translation>
    </message>
    <message>
        <source>출력 파일 이름은 %1(으)로 끝나야 합니다: %2</source>
        <translation>The output file name must end in %1: %2</translation>
    </message>
    <message>
        <source>--demo에는 만들 폴더 하나만 줍니다.</source>
        <translation>--demo takes just the folder to create.</translation>
    </message>
    <message>
        <source>옵션은 한 번만 줄 수 있습니다: --%1</source>
        <translation>An option can be given only once: --%1</translation>
    </message>
    <message>
        <source>명령은 한 번에 하나만 줄 수 있습니다.</source>
        <translation>Only one command can be given at a time.</translation>
    </message>
    <message>
        <source>--force는 내보내기, 인쇄, 차트 저장에만 쓸 수 있습니다.</source>
        <translation>--force can only be used with export, print and chart.</translation>
    </message>
    <message>
        <source>알 수 없는 명령입니다. &apos;tallox --help&apos;를 보세요.</source>
        <translation>Unknown command. See &apos;tallox --help&apos;.</translation>
    </message>
    <message>
        <source>경고: 백업하지 못했습니다: </source>
        <translation>warning: backup failed: </translation>
    </message>
    <message>
        <source>예제 자료의 크기가 너무 큽니다 (--cards 1-999, --years 1-50, --entries 0-2000000).</source>
        <translation>The sample data is too large (--cards 1-999, --years 1-50, --entries 0-2000000).</translation>
    </message>
    <message>
        <source>예제 자료</source>
        <translation>Sample data</translation>
    </message>
    <message>
        <source>이미 Tallox 데이터베이스가 있는 폴더입니다: %1</source>
        <translation>This folder already holds a Tallox database: %1</translation>
    </message>
    <message>
        <source>예제 자료를 옮길 수 없습니다: %1</source>
        <translation>The sample data cannot be moved into place: %1</translation>
    </message>
    <message>
        <source>예제 자료를 만들었습니다: %1 (카드사 %2곳, 자료 %3건). &apos;tallox %1&apos;로 여세요.</source>
        <translation>Sample data created: %1 (%2 card companies, %3 entries). Open it with &apos;tallox %1&apos;.</translation>
    </message>
    <message>
        <source>이 파일에 맞는 프로필이 없습니다. --profile로 프로필 이름이나 프로필 파일을 주세요: %1</source>
        <translation>No profile fits this file. Give a profile name or a profile file with --profile: %1</translation>
    </message>
    <message>
        <source>거부 %1행: %2</source>
        <translation>Row %1 refused: %2</translation>
    </message>
    <message>
        <source>중복 %1행: %2</source>
        <translation>Row %1 is a duplicate: %2</translation>
    </message>
    <message>
        <source>파일에 가져올 행이 없습니다: %1</source>
        <translation>The file has no rows to import: %1</translation>
    </message>
    <message>
        <source>시험 실행이므로 아무것도 저장하지 않았습니다.</source>
        <translation>This was a dry run, so nothing was saved.</translation>
    </message>
    <message>
        <source>거부된 행이 있어 아무것도 저장하지 않았습니다 (--partial을 주면 나머지를 저장합니다).</source>
        <translation>Nothing was saved because some rows were refused (give --partial to save the rest).</translation>
    </message>
    <message>
        <source>가져오지 못했습니다. 원장은 그대로입니다</source>
        <translation>The import failed. The ledger is unchanged</translation>
    </message>
    <message>
        <source>가져온 기간: %1 - %2</source>
        <translation>Imported period: %1 - %2</translation>
    </message>
    <message>
        <source>--%1은(는) --import에만 쓸 수 있습니다.</source>
        <translation>--%1 can only be used with --import.</translation>
    </message>
    <message>
        <source>--profile 다음에는 프로필 이름이나 프로필 파일이 와야 합니다.</source>
        <translation>--profile must be followed by a profile name or a profile file.</translation>
    </message>
    <message>
        <source>서버의 장부는 서버에서 백업합니다 (pg_dump): %1</source>
        <translation>Books on a server are backed up on the server (pg_dump): %1</translation>
    </message>
    <message>
        <source>
서버의 장부 (폴더 대신 postgresql://[사용자@]호스트[:포트]/데이터베이스):
  --init-server 주소         빈 PostgreSQL 데이터베이스에 Tallox 장부를 만듭니다
  --copy 원본 대상           장부를 폴더에서 서버로 (또는 반대로) 복사하고 건수와 합계를 확인합니다
  암호는 ~/.pgpass, PGPASSWORD 또는 서비스 파일에 둡니다 (Tallox는 암호를 저장하지 않습니다).
</source>
        <translation>
Books on a server (postgresql://[USER@]HOST[:PORT]/DATABASE instead of a folder):
  --init-server ADDRESS      create Tallox books in an empty PostgreSQL database
  --copy SOURCE TARGET       copy the books from a folder to a server (or back) and check the counts and totals
  Keep the password in ~/.pgpass, PGPASSWORD or a service file (Tallox does not store passwords).
</translation>
    </message>
    <message>
        <source>서버 주소가 아닙니다: %1</source>
        <translation>Not a server address: %1</translation>
    </message>
    <message>
        <source>서버를 쓸 수 없습니다: %1</source>
        <translation>The server cannot be used: %1</translation>
    </message>
    <message>
        <source>서버에 Tallox 장부를 만들었습니다: %1</source>
        <translation>Tallox books created on the server: %1</translation>
    </message>
    <message>
        <source>장부를 복사하지 못했습니다: %1</source>
        <translation>The books could not be copied: %1</translation>
    </message>
    <message>
        <source>장부를 복사했습니다: %1 → %2 (카드사 %3곳, 자료 %4건, 이월금액 %5건, 변경 이력 %6건)</source>
        <translation>Books copied: %1 → %2 (%3 card companies, %4 entries, %5 carry-over amounts, %6 change history records)</translation>
    </message>
    <message>
        <source>경고: %1</source>
        <translation>Warning: %1</translation>
    </message>
    <message>
        <source>%1개월</source>
        <translation>%1 months</translation>
    </message>
    <message>
        <source>막대 %1개, 하나가 %2년</source>
        <translation>%1 bars of %2 years each</translation>
    </message>
    <message>
        <source>차트를 저장했습니다: %1 (%2 - %3, 카드사 %4곳, %5, %6x%7)</source>
        <translation>Chart saved: %1 (%2 - %3, %4 card companies, %5, %6x%7)</translation>
    </message>
    <message>
        <source>백업은 했지만 문제가 있습니다: </source>
        <translation>Backed up, with problems: </translation>
    </message>
    <message>
        <source>  (미래의 날짜: 시계를 확인하세요)</source>
        <translation>  (date in the future: check the clock)</translation>
    </message>
    <message>
        <source>기준일</source>
        <translation>Day</translation>
    </message>
    <message>
        <source>공휴일 파일을 읽을 수 없습니다</source>
        <translation>The holiday file cannot be read</translation>
    </message>
    <message>
        <source>정산 현황을 읽을 수 없습니다</source>
        <translation>The settlement figures cannot be read</translation>
    </message>
    <message>
        <source>%1: 미입금 %2원, 가장 오래된 매출 %3, %4영업일 지연</source>
        <translation>%1: %2 won not paid out, oldest sale %3, %4 business days late</translation>
    </message>
    <message>
        <source>%1 기준, %2영업일 넘게 늦은 미입금이 없습니다.</source>
        <translation>As of %1, no pay-out is more than %2 business days late.</translation>
    </message>
    <message>
        <source>사용법: tallox [폴더] [옵션 ...]

  폴더                       dbTallox.db와 Plastra.db가 있는 데이터베이스 폴더 (이번 실행에만 사용)
  옵션이 없으면 원장 창을 엽니다.

옵션 (창을 열지 않고 실행합니다):
  --export-sheet 시작 종료 [--card 코드] 파일.xlsx   원장 명세서를 엑셀로 내보냅니다
  --export-summary 시작 종료 파일.xlsx               카드사별 집계를 엑셀로 내보냅니다
  --print-sheet 시작 종료 [--card 코드] 파일.pdf     원장 명세서를 PDF로 인쇄합니다
  --print-summary 시작 종료 파일.pdf                 카드사별 집계를 PDF로 인쇄합니다
  --chart-summary 시작 종료 파일.png                 카드사별 월별 추이 차트를 PNG로 저장합니다
  --settlement [기준일] [--card 코드] 파일.xlsx|파일.pdf
                             카드사별 정산 현황(미입금, 입금 예정)을 엑셀이나 PDF로 씁니다
  --overdue [--days N]       N영업일(기본 2) 넘게 늦은 미입금을 보여 줍니다 (있으면 종료 상태 1)
  --force                    내보내기, 인쇄, 차트 저장에서 이미 있는 출력 파일을 바꿉니다
  --rebuild                  이월금액 테이블을 원장에서 다시 만듭니다 (잔액 재정리)
  --check                    이월금액을 원장과 비교합니다 (불일치가 있으면 종료 상태 1)
  --backup [폴더]            장부를 백업합니다 (폴더가 없으면 응용 프로그램 폴더의 backups)
  --list-backups             백업 목록을 보여 줍니다
  --restore 백업폴더         지금의 장부를 백업한 뒤 백업에서 복원합니다
  --import 파일 [--profile 이름|프로필파일] [--dry-run] [--partial]
                             카드 매출, 정산 파일(.csv, .txt, .xlsx)을 원장으로 가져옵니다
  --demo 폴더 [--cards N] [--years N] [--entries N] [--seed N]
                             예제 자료가 든 데이터베이스 폴더를 만듭니다
  --version                  버전을 보여 줍니다
  --help                     이 도움말을 보여 줍니다

날짜는 원장에서처럼 입력합니다: 2004-01-01, 20040101, 040101, 0101, 101, 1.
종료 상태: 0 성공, 1 잔액 불일치, 거절된 행 또는 늦은 미입금, 2 잘못된 인자, 3 데이터베이스 오류, 4 출력 파일 오류.
</source>
        <translation>Usage: tallox [FOLDER] [OPTION ...]

  FOLDER                     database folder holding dbTallox.db and Plastra.db (for this run only)
  Without options the ledger window opens.

Options (they run without opening a window):
  --export-sheet FROM TO [--card CODE] FILE.xlsx   export the ledger statement to Excel
  --export-summary FROM TO FILE.xlsx               export the summary by card company to Excel
  --print-sheet FROM TO [--card CODE] FILE.pdf     print the ledger statement to PDF
  --print-summary FROM TO FILE.pdf                 print the summary by card company to PDF
  --chart-summary FROM TO FILE.png                 save the monthly chart by card company as PNG
  --settlement [DATE] [--card CODE] FILE.xlsx|FILE.pdf
                             write what each card company still owes (overdue, expected pay-outs) to Excel or PDF
  --overdue [--days N]       list pay-outs more than N business days late (default 2; exit status 1 if any)
  --force                    let export, print and chart replace an existing output file
  --rebuild                  rebuild the carry-over table from the ledger (rebuild balances)
  --check                    compare the carry-over amounts with the ledger (exit status 1 on a mismatch)
  --backup [FOLDER]          back up the books (without a folder: backups in the application folder)
  --list-backups             list the backups
  --restore BACKUP-FOLDER    back up the current books, then restore them from the backup
  --import FILE [--profile NAME|PROFILE-FILE] [--dry-run] [--partial]
                             import a card sales or settlement file (.csv, .txt, .xlsx) into the ledger
  --demo FOLDER [--cards N] [--years N] [--entries N] [--seed N]
                             create a database folder with sample data
  --version                  show the version
  --help                     show this help

Dates are typed as in the ledger: 2004-01-01, 20040101, 040101, 0101, 101, 1.
Exit status: 0 success, 1 balance mismatch, refused rows or late pay-outs, 2 bad arguments, 3 database error, 4 output file error.
</translation>
    </message>
    <message>
        <source>--days는 --overdue에만 쓸 수 있습니다.</source>
        <translation>--days can only be used with --overdue.</translation>
    </message>
    <message>
        <source>--card는 --export-sheet, --print-sheet, --settlement에만 쓸 수 있습니다.</source>
        <translation>--card can only be used with --export-sheet, --print-sheet and --settlement.</translation>
    </message>
</context>
<context>
    <name>CsvReader</name>
    <message>
        <source>파일의 글자를 읽을 수 없습니다.</source>
        <translation>The text of the file cannot be read.</translation>
    </message>
    <message>
        <source>텍스트 파일이 아닙니다 (이진 파일).</source>
        <translation>This is not a text file (it is a binary file).</translation>
    </message>
    <message>
        <source>파일의 글자를 읽을 수 없습니다. UTF-8이나 CP949(EUC-KR) 파일이어야 합니다.</source>
        <translation>The text of the file cannot be read. The file must be in UTF-8 or CP949 (EUC-KR).</translation>
    </message>
    <message>
        <source>파일을 열 수 없습니다: %1 (%2)</source>
        <translation>The file cannot be opened: %1 (%2)</translation>
    </message>
    <message>
        <source>탭</source>
        <translation>tab</translation>
    </message>
    <message>
        <source>세미콜론</source>
        <translation>semicolon</translation>
    </message>
    <message>
        <source>쉼표</source>
        <translation>comma</translation>
    </message>
</context>
<context>
    <name>Database</name>
    <message>
        <source>이 사용자는 서버의 장부를 읽기만 할 수 있어 저장하지 않았습니다.</source>
        <translation>This user may only read the books on the server, so nothing was saved.</translation>
    </message>
    <message>
        <source>서버가 사용자 또는 암호를 받아들이지 않습니다 (~/.pgpass, PGPASSWORD를 확인하세요): %1
%2</source>
        <translation>The server refused the user name or password (check ~/.pgpass and PGPASSWORD): %1
%2</translation>
    </message>
    <message>
        <source>서버에 그 데이터베이스가 없습니다: %1
%2</source>
        <translation>That database does not exist on the server: %1
%2</translation>
    </message>
    <message>
        <source>서버에 연결할 수 없습니다 (서버가 꺼져 있거나 주소에 닿지 않습니다): %1
%2</source>
        <translation>Cannot connect to the server (the server is down or its address cannot be reached): %1
%2</translation>
    </message>
    <message>
        <source>PostgreSQL 드라이버(libqt6sql6-psql)가 설치되어 있지 않습니다.</source>
        <translation>The PostgreSQL driver (libqt6sql6-psql) is not installed.</translation>
    </message>
    <message>
        <source>서버의 데이터베이스에 Tallox 장부가 없습니다. &apos;tallox --init-server %1&apos;로 만드세요.</source>
        <translation>The database on the server holds no Tallox books. Create them with &apos;tallox --init-server %1&apos;.</translation>
    </message>
    <message>
        <source>서버의 장부는 더 새로운 Tallox가 만든 것입니다 (판 %1).</source>
        <translation>The books on the server were made by a newer Tallox (books version %1).</translation>
    </message>
    <message>
        <source>서버의 장부에 판 번호가 없습니다: %1</source>
        <translation>The books on the server have no version number: %1</translation>
    </message>
    <message>
        <source>다른 컴퓨터가 같은 장부를 고치고 있어 저장하지 못했습니다. 잠시 뒤에 다시 하세요.</source>
        <translation>Another computer is changing the same books, so nothing was saved. Try again in a moment.</translation>
    </message>
    <message>
        <source>저장하는 중에 서버와의 연결이 끊겨 저장되었는지 알 수 없습니다. 서버에 다시 연결되면 조회해서 확인하세요.
%1</source>
        <translation>The connection to the server broke while storing, so it is not known whether the change was stored. Once the server can be reached again, check with Show (F5).
%1</translation>
    </message>
</context>
<context>
    <name>DateInput</name>
    <message>
        <source>코딩누락</source>
        <translation>Not handled</translation>
    </message>
</context>
<context>
    <name>DateParse</name>
    <message>
        <source>[%1]는 날짜형식이 아닙니다.             </source>
        <translation>[%1] is not a date.             </translation>
    </message>
    <message>
        <source> 가능한 형식은 아래와 같습니다.</source>
        <translation> These forms are accepted:</translation>
    </message>
    <message>
        <source>   * 101 (※10월1일은 1001)</source>
        <translation>   * 101 (※ 1 October is 1001)</translation>
    </message>
    <message>
        <source>   * 1 (당월의 일자지정시)</source>
        <translation>   * 1 (a day of the current month)</translation>
    </message>
</context>
<context>
    <name>DbAccess</name>
    <message>
        <source>프로그램 수행도중 오류가 발생했습니다.</source>
        <translation>An error occurred while the program was running.</translation>
    </message>
    <message>
        <source>정수가 아닌 금액이 저장되어 있습니다. 금액을 읽을 수 없습니다.</source>
        <translation>An amount that is not a whole number is stored. The amount cannot be read.</translation>
    </message>
    <message>
        <source>금액의 합계가 표시할 수 있는 범위를 벗어났습니다.</source>
        <translation>The total of the amounts is too large to show.</translation>
    </message>
    <message>
        <source>Tallox 원장 파일이 아닙니다.<byte value="xd"/>
<byte value="xd"/>
</source>
        <translation>This is not a Tallox ledger file.<byte value="xd"/>
<byte value="xd"/>
</translation>
    </message>
    <message>
        <source>%1 표가 없습니다: %2</source>
        <translation>The table %1 is missing: %2</translation>
    </message>
    <message>
        <source>%1 표에 %2 열이 없습니다: %3</source>
        <translation>The table %1 has no column %2: %3</translation>
    </message>
    <message>
        <source>이 Tallox가 모르는 형식(버전 %1)의 파일입니다: %2</source>
        <translation>This file has a format this Tallox does not know (version %1): %2</translation>
    </message>
</context>
<context>
    <name>DemoData</name>
    <message>
        <source>자료를 저장하지 못했습니다 (%1): %2</source>
        <translation>The entry could not be saved (%1): %2</translation>
    </message>
    <message>
        <source>자료를 수정하지 못했습니다 (%1): %2</source>
        <translation>The entry could not be changed (%1): %2</translation>
    </message>
    <message>
        <source>이미 Tallox 데이터베이스가 있는 폴더입니다: %1</source>
        <translation>This folder already holds a Tallox database: %1</translation>
    </message>
    <message>
        <source>데이터베이스를 열 수 없습니다: %1 (%2)</source>
        <translation>The database cannot be opened: %1 (%2)</translation>
    </message>
    <message>
        <source>이월금액을 재정리하지 못했습니다: %1</source>
        <translation>The carry-over amounts could not be rebuilt: %1</translation>
    </message>
</context>
<context>
    <name>Error</name>
    <message>
        <source>오류번호 %1: %2</source>
        <translation>error number %1: %2</translation>
    </message>
</context>
<context>
    <name>ExcelExport</name>
    <message>
        <source>%1을 저장했습니다.<byte value="xd"/>
%2<byte value="xd"/>
%3<byte value="xd"/>
<byte value="xd"/>
폴더를 여시겠습니까?</source>
        <translation>%1 saved.<byte value="xd"/>
%2<byte value="xd"/>
%3<byte value="xd"/>
<byte value="xd"/>
Do you want to open the folder?</translation>
    </message>
    <message>
        <source>폴더를 열 수 없습니다.<byte value="xd"/>
</source>
        <translation>The folder cannot be opened.<byte value="xd"/>
</translation>
    </message>
    <message>
        <source>그림 파일을 저장하지 못했습니다.<byte value="xd"/>
</source>
        <translation>The picture file could not be saved.<byte value="xd"/>
</translation>
    </message>
    <message>
        <source>그림 파일</source>
        <translation>Picture file</translation>
    </message>
    <message>
        <source>엑셀로 내보내기에 실패했습니다.</source>
        <translation>The export to Excel failed.</translation>
    </message>
    <message>
        <source>엑셀로 보낼 데이터가 없습니다.<byte value="xd"/>
자료 검색후 엑셀로 보내세요.</source>
        <translation>There is no data to export to Excel.<byte value="xd"/>
Show some entries first, then export them.</translation>
    </message>
    <message>
        <source>엑셀로 내보내는 중...</source>
        <translation>Exporting to Excel...</translation>
    </message>
    <message>
        <source>엑셀 파일</source>
        <translation>Excel file</translation>
    </message>
    <message>
        <source>그림으로 저장</source>
        <translation>Save as Picture</translation>
    </message>
    <message>
        <source>PNG 그림 (*.png)</source>
        <translation>PNG picture (*.png)</translation>
    </message>
    <message>
        <source>엑셀로 내보내기</source>
        <translation>Export to Excel</translation>
    </message>
    <message>
        <source>엑셀 통합 문서 (*.xlsx)</source>
        <translation>Excel workbook (*.xlsx)</translation>
    </message>
</context>
<context>
    <name>FrmCalendar</name>
    <message>
        <source>일자 선택</source>
        <translation>Choose Date</translation>
    </message>
</context>
<context>
    <name>HelpWindow</name>
    <message>
        <source>도움말을 찾을 수 없습니다. 프로그램을 다시 설치하세요.</source>
        <translation>The help cannot be found. Please reinstall the program.</translation>
    </message>
    <message>
        <source>%1 도움말</source>
        <translation>%1 Help</translation>
    </message>
    <message>
        <source>%1 정보</source>
        <translation>About %1</translation>
    </message>
    <message>
        <source>SQLite (퍼블릭 도메인)</source>
        <translation>SQLite (public domain)</translation>
    </message>
    <message>
        <source>libxlsxwriter (BSD 2조항)</source>
        <translation>libxlsxwriter (BSD 2-clause)</translation>
    </message>
    <message>
        <source>libzip (BSD 3조항)</source>
        <translation>libzip (BSD 3-clause)</translation>
    </message>
    <message>
        <source>zlib, minizip (zlib 사용 허가)</source>
        <translation>zlib, minizip (zlib licence)</translation>
    </message>
    <message>
        <source>PostgreSQL 클라이언트 libpq (PostgreSQL 사용 허가)</source>
        <translation>PostgreSQL client libpq (PostgreSQL licence)</translation>
    </message>
    <message>
        <source>나눔 글꼴 (SIL 오픈 폰트 사용 허가 1.1)</source>
        <translation>Nanum fonts (SIL Open Font License 1.1)</translation>
    </message>
    <message>
        <source>%1 Ver.%2  (%3)<byte value="xd"/>
<byte value="xd"/>
데이터베이스 폴더: %4<byte value="xd"/>
응용 프로그램 폴더: %5<byte value="xd"/>
<byte value="xd"/>
</source>
        <translation>%1 Ver.%2  (%3)<byte value="xd"/>
<byte value="xd"/>
Database folder: %4<byte value="xd"/>
Application folder: %5<byte value="xd"/>
<byte value="xd"/>
</translation>
    </message>
    <message>
        <source>이 프로그램은 자유 소프트웨어입니다. GNU 일반 공중 사용 허가서(GPL) 3판 또는 그 이후 판에 따라 다시 배포하거나 고칠 수 있습니다. 아무런 보증도 없습니다.<byte value="xd"/>
<byte value="xd"/>
사용한 라이브러리와 사용 허가:<byte value="xd"/>
</source>
        <translation>This program is free software: you can redistribute it and/or modify it under the GNU General Public License (GPL), version 3 or any later version. It comes with no warranty.<byte value="xd"/>
<byte value="xd"/>
Libraries used and their licences:<byte value="xd"/>
</translation>
    </message>
</context>
<context>
    <name>History</name>
    <message>
        <source>입력</source>
        <translation>Added</translation>
    </message>
    <message>
        <source>수정</source>
        <translation>Changed</translation>
    </message>
    <message>
        <source>삭제</source>
        <translation>Deleted</translation>
    </message>
    <message>
        <source>카드 추가</source>
        <translation>Card added</translation>
    </message>
    <message>
        <source>카드 수정</source>
        <translation>Card changed</translation>
    </message>
    <message>
        <source>카드 삭제</source>
        <translation>Card deleted</translation>
    </message>
    <message>
        <source>이월금액</source>
        <translation>Carry-over</translation>
    </message>
    <message>
        <source>잔액 재정리</source>
        <translation>Balances rebuilt</translation>
    </message>
    <message>
        <source>가져오기</source>
        <translation>Import</translation>
    </message>
    <message>
        <source>복원</source>
        <translation>Restored</translation>
    </message>
</context>
<context>
    <name>HistorySheet</name>
    <message>
        <source>%1, 수수료 %2%, 결제일 %3</source>
        <translation>%1, fee %2%, pays after %3 days</translation>
    </message>
    <message>
        <source>매출액 %1, 수수료 %2, 카드사결제액 %3</source>
        <translation>sales %1, fee %2, card payout %3</translation>
    </message>
    <message>
        <source>%1 (실행 취소)</source>
        <translation>%1 (undo)</translation>
    </message>
    <message>
        <source>%1 (다시 실행)</source>
        <translation>%1 (redo)</translation>
    </message>
    <message>
        <source>카드 %1</source>
        <translation>card %1</translation>
    </message>
    <message>
        <source>취소됨</source>
        <translation>undone</translation>
    </message>
    <message>
        <source>일시</source>
        <translation>When</translation>
    </message>
    <message>
        <source>내용</source>
        <translation>What</translation>
    </message>
    <message>
        <source>일자</source>
        <translation>Date</translation>
    </message>
    <message>
        <source>카드명</source>
        <translation>Card name</translation>
    </message>
    <message>
        <source>항목</source>
        <translation>Field</translation>
    </message>
    <message>
        <source>이전 값</source>
        <translation>Old value</translation>
    </message>
    <message>
        <source>새 값</source>
        <translation>New value</translation>
    </message>
    <message>
        <source>상태</source>
        <translation>State</translation>
    </message>
    <message>
        <source>컴퓨터/사용자</source>
        <translation>Computer/user</translation>
    </message>
    <message>
        <source>변경 내역</source>
        <translation>Change History</translation>
    </message>
</context>
<context>
    <name>HistoryWindow</name>
    <message>
        <source>변경 내역</source>
        <translation>Change History</translation>
    </message>
    <message>
        <source>조회(F5)</source>
        <translation>Show (F5)</translation>
    </message>
    <message>
        <source>엑셀(F7)</source>
        <translation>Excel (F7)</translation>
    </message>
    <message>
        <source>닫기(&amp;C)</source>
        <translation>&amp;Close</translation>
    </message>
    <message>
        <source>조회기간의 날짜가 올바르지 않습니다.</source>
        <translation>The dates of the period are not valid.</translation>
    </message>
</context>
<context>
    <name>Holidays</name>
    <message>
        <source>공휴일 파일 %1의 %2행을 읽을 수 없습니다: &apos;%3&apos; (한 줄에 &apos;2026-01-01 1월 1일&apos;처럼 날짜와 이름을 적습니다)</source>
        <translation>Line %2 of the holiday file %1 cannot be read: &apos;%3&apos; (each line holds a date and a name, as in &apos;2026-01-01 New Year&apos;)</translation>
    </message>
    <message>
        <source>공휴일 파일을 열 수 없습니다: %1</source>
        <translation>The holiday file cannot be opened: %1</translation>
    </message>
</context>
<context>
    <name>ImportDialog</name>
    <message>
        <source>자료 가져오기</source>
        <translation>Import Data</translation>
    </message>
    <message>
        <source>파일 선택...</source>
        <translation>Choose File...</translation>
    </message>
    <message>
        <source>파일</source>
        <translation>File</translation>
    </message>
    <message>
        <source>시트</source>
        <translation>Sheet</translation>
    </message>
    <message>
        <source>파일의 카드명</source>
        <translation>Card name in the file</translation>
    </message>
    <message>
        <source>장부의 카드</source>
        <translation>Card in the books</translation>
    </message>
    <message>
        <source>저장</source>
        <translation>Save</translation>
    </message>
    <message>
        <source>닫기</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>가져올 자료 (중복은 체크하면 저장합니다)</source>
        <translation>Entries to import (duplicates are saved if you tick them)</translation>
    </message>
    <message>
        <source>열 선택</source>
        <translation>Columns</translation>
    </message>
    <message>
        <source>프로필 저장</source>
        <translation>Save Profile</translation>
    </message>
    <message>
        <source>프로필</source>
        <translation>Profile</translation>
    </message>
    <message>
        <source>프로필 이름</source>
        <translation>Profile name</translation>
    </message>
    <message>
        <source>위에서 건너뛸 행</source>
        <translation>Rows to skip at the top</translation>
    </message>
    <message>
        <source>일자</source>
        <translation>Date</translation>
    </message>
    <message>
        <source>카드명</source>
        <translation>Card name</translation>
    </message>
    <message>
        <source>건수</source>
        <translation>Slips</translation>
    </message>
    <message>
        <source>매출액</source>
        <translation>Sales</translation>
    </message>
    <message>
        <source>수수료</source>
        <translation>Fee</translation>
    </message>
    <message>
        <source>카드사결제액</source>
        <translation>Card payout</translation>
    </message>
    <message>
        <source>가져올 파일</source>
        <translation>File to Import</translation>
    </message>
    <message>
        <source>카드 매출 파일 (*.csv *.txt *.xlsx);;모든 파일 (*)</source>
        <translation>Card sales files (*.csv *.txt *.xlsx);;All files (*)</translation>
    </message>
    <message>
        <source>(프로필 선택)</source>
        <translation>(choose a profile)</translation>
    </message>
    <message>
        <source>(없음)</source>
        <translation>(none)</translation>
    </message>
    <message>
        <source>%1열 %2</source>
        <translation>Column %1 %2</translation>
    </message>
    <message>
        <source>(선택하세요)</source>
        <translation>(choose a card)</translation>
    </message>
    <message>
        <source>새 카드로 등록</source>
        <translation>Register as a new card</translation>
    </message>
    <message>
        <source>일자와 카드명 열을 고르세요.</source>
        <translation>Choose the date and card name columns.</translation>
    </message>
    <message>
        <source>프로필 이름을 입력하세요.</source>
        <translation>Enter a profile name.</translation>
    </message>
    <message>
        <source>일자와 카드명 열을 고른 뒤 저장하세요.</source>
        <translation>Choose the date and card name columns, then save.</translation>
    </message>
    <message>
        <source>프로필을 저장했습니다: %1</source>
        <translation>Profile saved: %1</translation>
    </message>
    <message>
        <source>거부된 %1행은 빼고 나머지 %2행을 저장할까요?</source>
        <translation>Do you want to leave out the %1 refused rows and save the other %2 rows?</translation>
    </message>
    <message>
        <source>가져오지 못했습니다. 원장은 그대로입니다.</source>
        <translation>The import failed. The ledger is unchanged.</translation>
    </message>
    <message>
        <source>합계·소계 행 건너뛰기</source>
        <translation>Skip total and subtotal rows</translation>
    </message>
    <message>
        <source>일자 없는 행과 일자나 카드명 칸에 합계, 소계가 적힌 행을 가져오지 않습니다</source>
        <translation>Leaves out rows without a date and rows with a total or subtotal in the date or card name column</translation>
    </message>
    <message>
        <source>하루·카드사별로 합치기</source>
        <translation>Merge per day and card company</translation>
    </message>
    <message>
        <source>건별 매출 파일을 하루, 카드사마다 한 자료로 저장합니다 (건수: 매출 건수)</source>
        <translation>Stores a per-sale file as one entry per day and card company (slips: the number of sales)</translation>
    </message>
    <message>
        <source>노란 칸의 열은 머리글로 짐작했습니다. 맞는지 확인하세요.</source>
        <translation>The columns in yellow were guessed from the header. Check that they are right.</translation>
    </message>
    <message>
        <source>%1의 수수료율(%)을 입력하세요.
카드사는 가져온 자료를 저장할 때 등록합니다.</source>
        <translation>Enter the fee rate (%) of %1.
The card company is registered when the import is stored.</translation>
    </message>
    <message>
        <source>카드사를 등록하지 못해 가져오지 않았습니다: %1</source>
        <translation>The card company could not be registered, so nothing was imported: %1</translation>
    </message>
    <message>
        <source>%1: %2</source>
        <translation>%1: %2</translation>
    </message>
    <message>
        <source>머리글로 짐작한 열로 저장할까요?

%1</source>
        <translation>Store with the columns guessed from the header?

%1</translation>
    </message>
</context>
<context>
    <name>ImportPlan</name>
    <message>
        <source>%1이(가) 금액이 아닙니다: %2</source>
        <translation>%1 is not an amount: %2</translation>
    </message>
    <message>
        <source>%1이(가) 범위를 벗어납니다: %2</source>
        <translation>%1 is out of range: %2</translation>
    </message>
    <message>
        <source>건수가 0 이상의 정수가 아닙니다: %1</source>
        <translation>Slips must be a whole number of 0 or more: %1</translation>
    </message>
    <message>
        <source>일자가 없습니다</source>
        <translation>No date</translation>
    </message>
    <message>
        <source>일자가 아닙니다: %1</source>
        <translation>Not a date: %1</translation>
    </message>
    <message>
        <source>카드명이 없습니다</source>
        <translation>No card name</translation>
    </message>
    <message>
        <source>등록되지 않은 카드입니다: %1</source>
        <translation>Card not registered: %1</translation>
    </message>
    <message>
        <source>매출액</source>
        <translation>Sales</translation>
    </message>
    <message>
        <source>수수료</source>
        <translation>Fee</translation>
    </message>
    <message>
        <source>카드사결제액</source>
        <translation>Card payout</translation>
    </message>
    <message>
        <source>칸이 너무 깁니다 (%1자 넘음)</source>
        <translation>A cell is too long (over %1 characters)</translation>
    </message>
    <message>
        <source>원장에 같은 자료가 있습니다</source>
        <translation>The same entry is already in the ledger</translation>
    </message>
    <message>
        <source>%1이(가) 소수점 아래 넷째 자리보다 작은 단위까지 있습니다: %2</source>
        <translation>%1 has digits beyond the fourth decimal place: %2</translation>
    </message>
    <message>
        <source>프로필의 %1=%2에 맞는 카드가 장부에 없습니다</source>
        <translation>No card of the books fits %1=%2 of the profile</translation>
    </message>
    <message>
        <source>프로필의 %1=%2에 맞는 카드가 여럿입니다 (%3): 카드사 이름을 더 길게 적으세요</source>
        <translation>Several cards fit %1=%2 of the profile (%3): write more of the card company&apos;s name</translation>
    </message>
    <message>
        <source>프로필의 %1=%2은(는) 카드 코드로 읽었습니다 (이 장부에서는 %3). 코드는 장부마다 다르니 카드사 이름으로 적으세요: %1=%3</source>
        <translation>%1=%2 of the profile was read as a card code (in these books: %3). Codes differ from one set of books to another: write the card company&apos;s name instead: %1=%3</translation>
    </message>
    <message>
        <source>합계·소계 행</source>
        <translation>total or subtotal row</translation>
    </message>
    <message>
        <source>%1행부터 합친 금액이 범위를 벗어납니다</source>
        <translation>the sum of the rows merged from row %1 is out of range</translation>
    </message>
    <message>
        <source>%1행에 합쳤습니다</source>
        <translation>merged into row %1</translation>
    </message>
    <message>
        <source>%1행을 합쳤습니다</source>
        <translation>%1 rows merged</translation>
    </message>
</context>
<context>
    <name>ImportPlanModel</name>
    <message>
        <source>행</source>
        <translation>Row</translation>
    </message>
    <message>
        <source>처리</source>
        <translation>Status</translation>
    </message>
    <message>
        <source>일자</source>
        <translation>Date</translation>
    </message>
    <message>
        <source>카드명</source>
        <translation>Card name</translation>
    </message>
    <message>
        <source>건수</source>
        <translation>Slips</translation>
    </message>
    <message>
        <source>매출액</source>
        <translation>Sales</translation>
    </message>
    <message>
        <source>수수료</source>
        <translation>Fee</translation>
    </message>
    <message>
        <source>카드사결제액</source>
        <translation>Card payout</translation>
    </message>
    <message>
        <source>사유</source>
        <translation>Reason</translation>
    </message>
    <message>
        <source>저장</source>
        <translation>Save</translation>
    </message>
    <message>
        <source>중복</source>
        <translation>Duplicate</translation>
    </message>
    <message>
        <source>거부</source>
        <translation>Refused</translation>
    </message>
    <message>
        <source>건너뜀</source>
        <translation>Skipped</translation>
    </message>
    <message>
        <source>합침</source>
        <translation>Merged</translation>
    </message>
</context>
<context>
    <name>ImportProfile</name>
    <message>
        <source>프로필 파일을 읽을 수 없습니다: %1</source>
        <translation>The profile file cannot be read: %1</translation>
    </message>
    <message>
        <source>프로필 파일 %1의 %2번째 줄을 읽을 수 없습니다: %3</source>
        <translation>Line %2 of the profile file %1 cannot be read: %3</translation>
    </message>
    <message>
        <source>프로필 %1에 일자(date)와 카드명(card) 열이 없습니다.</source>
        <translation>The profile %1 does not give both the date (date) and card name (card) columns.</translation>
    </message>
    <message>
        <source>프로필을 저장할 수 없습니다: %1</source>
        <translation>The profile cannot be saved: %1</translation>
    </message>
    <message>
        <source>프로필이 없습니다: %1 (%2에 저장된 프로필이나 프로필 파일을 주세요)</source>
        <translation>No such profile: %1 (give a profile saved in %2, or a profile file)</translation>
    </message>
    <message>
        <source>Tallox 원장</source>
        <translation>Tallox ledger</translation>
    </message>
</context>
<context>
    <name>ImportRun</name>
    <message>
        <source>백업하지 못했습니다: %1</source>
        <translation>Backup failed: %1</translation>
    </message>
    <message>
        <source>%1에서 %2건</source>
        <translation>%2 entries from %1</translation>
    </message>
    <message>
        <source>저장 %1건, 중복으로 건너뜀 %2건, 거부 %3건, 빈 행 등 건너뜀 %4건</source>
        <translation>Saved: %1, skipped as duplicates: %2, refused: %3, skipped (empty rows and such): %4</translation>
    </message>
    <message>
        <source>저장할 행 %1건, 중복으로 건너뜀 %2건, 거부 %3건, 빈 행 등 건너뜀 %4건</source>
        <translation>Rows to save: %1, skipped as duplicates: %2, refused: %3, skipped (empty rows and such): %4</translation>
    </message>
    <message>
        <source>서버의 장부라 파일로 백업하지 않았습니다 (서버에서 pg_dump로 백업합니다).</source>
        <translation>No file backup was taken: the books are on a server (back them up there with pg_dump).</translation>
    </message>
    <message>
        <source>%1행의 카드사가 등록되지 않았습니다: %2</source>
        <translation>The card company of row %1 is not registered: %2</translation>
    </message>
    <message>
        <source>, 하루·카드사별로 합친 행 %1건</source>
        <translation>, rows merged per day and card company: %1</translation>
    </message>
</context>
<context>
    <name>ImportTable</name>
    <message>
        <source>파일이 없습니다: %1</source>
        <translation>The file does not exist: %1</translation>
    </message>
    <message>
        <source>빈 파일입니다: %1</source>
        <translation>The file is empty: %1</translation>
    </message>
    <message>
        <source>행이 너무 많습니다 (%1행까지 가져올 수 있습니다): %2</source>
        <translation>The file has too many rows (up to %1 rows can be imported): %2</translation>
    </message>
    <message>
        <source>가져올 행이 없습니다: %1</source>
        <translation>There are no rows to import: %1</translation>
    </message>
    <message>
        <source>파일이 너무 큽니다 (%1MB까지 가져올 수 있습니다): %2</source>
        <translation>The file is too large (files of up to %1 MB can be imported): %2</translation>
    </message>
    <message>
        <source>채워진 칸이 너무 많습니다 (%1칸까지 가져올 수 있습니다): %2</source>
        <translation>The file has too many filled cells (up to %1 can be imported): %2</translation>
    </message>
    <message>
        <source>글자가 너무 많습니다 (%1MB까지 가져올 수 있습니다): %2</source>
        <translation>The file holds too much text (up to %1 MB can be imported): %2</translation>
    </message>
    <message>
        <source>따옴표가 닫히지 않았습니다: %1행(파일의 %2번째 줄)에서 연 따옴표가 파일 끝까지 이어집니다: %3</source>
        <translation>A quote is never closed: the quote opened in row %1 (line %2 of the file) runs to the end of the file: %3</translation>
    </message>
</context>
<context>
    <name>LedgerHistory</name>
    <message>
        <source>일자</source>
        <translation>Date</translation>
    </message>
    <message>
        <source>카드</source>
        <translation>Card</translation>
    </message>
    <message>
        <source>건수</source>
        <translation>Slips</translation>
    </message>
    <message>
        <source>매출액</source>
        <translation>Sales</translation>
    </message>
    <message>
        <source>수수료</source>
        <translation>Fee</translation>
    </message>
    <message>
        <source>카드사결제액</source>
        <translation>Card payout</translation>
    </message>
    <message>
        <source>카드 %1</source>
        <translation>card %1</translation>
    </message>
    <message>
        <source>%1 삭제 (매출액 %2)</source>
        <translation>%1 deleted (sales %2)</translation>
    </message>
    <message>
        <source>실행 취소할 수 없습니다.</source>
        <translation>This cannot be undone.</translation>
    </message>
    <message>
        <source>다시 실행할 수 없습니다.</source>
        <translation>This cannot be redone.</translation>
    </message>
    <message>
        <source>%1 자료는 그 뒤에 삭제되었고(%2) 그 삭제가 아직 그대로 있습니다.</source>
        <translation>The entry %1 was deleted afterwards (%2) and is still deleted.</translation>
    </message>
    <message>
        <source>%1 자료는 그 뒤에 다시 수정되었고(%2) 그 수정이 아직 그대로 있습니다.</source>
        <translation>The entry %1 was changed again afterwards (%2) and that change is still in place.</translation>
    </message>
    <message>
        <source>%1 자료(코드 %2)가 장부에 없습니다.</source>
        <translation>The entry %1 (code %2) is no longer in the books.</translation>
    </message>
    <message>
        <source>변경 내역의 자료를 읽을 수 없습니다.</source>
        <translation>The change history cannot be read.</translation>
    </message>
    <message>
        <source>실행 취소할 변경이 없습니다.</source>
        <translation>There is no change to undo.</translation>
    </message>
    <message>
        <source>다시 실행할 변경이 없습니다.</source>
        <translation>There is no change to redo.</translation>
    </message>
    <message>
        <source>이 변경의 카드사 %1(코드 %2)는 그 뒤에 삭제되었고(%3) 코드 %2는 지금 다른 카드사 %4의 코드입니다.</source>
        <translation>The card company of this change, %1 (code %2), was deleted afterwards (%3), and code %2 now belongs to another card company, %4.</translation>
    </message>
    <message>
        <source>이 변경의 카드사 %1(코드 %2)는 그 뒤에 삭제되었습니다(%3).</source>
        <translation>The card company of this change, %1 (code %2), was deleted afterwards (%3).</translation>
    </message>
</context>
<context>
    <name>LedgerSheet</name>
    <message>
        <source>일자</source>
        <translation>Date</translation>
    </message>
    <message>
        <source>카드코드</source>
        <translation>Card code</translation>
    </message>
    <message>
        <source>카드명</source>
        <translation>Card name</translation>
    </message>
    <message>
        <source>건수</source>
        <translation>Slips</translation>
    </message>
    <message>
        <source>매출액</source>
        <translation>Sales</translation>
    </message>
    <message>
        <source>수수료</source>
        <translation>Fee</translation>
    </message>
    <message>
        <source>카드사결제액</source>
        <translation>Card payout</translation>
    </message>
    <message>
        <source>잔액</source>
        <translation>Balance</translation>
    </message>
    <message>
        <source>매출합계</source>
        <translation>Sales total</translation>
    </message>
    <message>
        <source>수수료합계</source>
        <translation>Fee total</translation>
    </message>
    <message>
        <source>수금합계</source>
        <translation>Payout total</translation>
    </message>
    <message>
        <source>[전기이월]</source>
        <translation>[Opening]</translation>
    </message>
    <message>
        <source>신용카드 명세서(매출)</source>
        <translation>Credit Card Statement (Sales)</translation>
    </message>
</context>
<context>
    <name>LedgerStatusLine</name>
    <message>
        <source>장부: </source>
        <translation>Books: </translation>
    </message>
    <message>
        <source>처음이시면: [카드정보]에서 카드사를 등록한 뒤, 맨 아래 줄 카드명 칸부터 매출을 입력하세요. (F1 도움말)</source>
        <translation>New here? Register your card companies under [Cards], then type the sales in the bottom row, starting with the card name. (F1 help)</translation>
    </message>
    <message>
        <source>전체 카드</source>
        <translation>All cards</translation>
    </message>
    <message>
        <source>%1 ~ %2 | %3 | %4건</source>
        <translation>%1 ~ %2 | %3 | %4 entries</translation>
    </message>
    <message>
        <source>저장됨</source>
        <translation>Saved</translation>
    </message>
    <message>
        <source>저장됨. 다음 새 자료의 카드명 칸입니다 (카드사결제액은 방향키나 클릭으로)</source>
        <translation>Saved. The cursor is in the card name box of the next new entry (reach the card payout with the arrow keys or a click)</translation>
    </message>
    <message>
        <source>누르면 정산 현황을 엽니다 (F9)</source>
        <translation>Click to open Settlement (F9)</translation>
    </message>
</context>
<context>
    <name>LedgerStore</name>
    <message>
        <source>이월금액을 계산하는 중 오류가 발생했습니다.</source>
        <translation>An error occurred while calculating the carry-over amounts.</translation>
    </message>
    <message>
        <source>코드[%1]에 해당하는 자료를 찾을 수 없습니다.</source>
        <translation>No entry with code [%1] was found.</translation>
    </message>
    <message>
        <source>잔액 재정리를 취소했습니다. 이월금액은 그대로입니다.</source>
        <translation>Rebuilding the balances was cancelled. The carry-over amounts are unchanged.</translation>
    </message>
    <message>
        <source>코드 정의 오류입니다.</source>
        <translation>The code is not valid.</translation>
    </message>
    <message>
        <source>자료를 수정하는 중 오류가 발생했습니다.</source>
        <translation>An error occurred while changing the entry.</translation>
    </message>
    <message>
        <source>자료를 저장하는 중 오류가 발생했습니다.</source>
        <translation>An error occurred while saving the entry.</translation>
    </message>
    <message>
        <source>저장된 자료의 코드를 찾을 수 없습니다.</source>
        <translation>The code of the saved entry cannot be found.</translation>
    </message>
    <message>
        <source>자료를 삭제하는 중 오류가 발생했습니다.</source>
        <translation>An error occurred while deleting the entry.</translation>
    </message>
    <message>
        <source>가져오기를 멈췄습니다.</source>
        <translation>The import was stopped.</translation>
    </message>
</context>
<context>
    <name>Main</name>
    <message>
        <source>데이터 베이스를 열 수 없습니다.<byte value="xd"/>
<byte value="xd"/>
</source>
        <translation>The database cannot be opened.<byte value="xd"/>
<byte value="xd"/>
</translation>
    </message>
    <message>
        <source>이미 프로그램이 실행중입니다.</source>
        <translation>The program is already running.</translation>
    </message>
    <message>
        <source>응용 프로그램 폴더에 쓸 수 없습니다.<byte value="xd"/>
<byte value="xd"/>
</source>
        <translation>Cannot write to the application folder.<byte value="xd"/>
<byte value="xd"/>
</translation>
    </message>
    <message>
        <source>다른 Tallox가 이 장부를 열고 있습니다.<byte value="xd"/>
<byte value="xd"/>
</source>
        <translation>Another Tallox has these books open.<byte value="xd"/>
<byte value="xd"/>
</translation>
    </message>
</context>
<context>
    <name>Messages</name>
    <message>
        <source><byte value="xd"/>
오류번호 : </source>
        <translation><byte value="xd"/>
Error number: </translation>
    </message>
    <message>
        <source><byte value="xd"/>
오류내용 : </source>
        <translation><byte value="xd"/>
Error details: </translation>
    </message>
    <message>
        <source>오류</source>
        <translation>Error</translation>
    </message>
    <message>
        <source>Data Base MDB가 선언되지 않았습니다.</source>
        <translation>The database has not been opened.</translation>
    </message>
    <message>
        <source>MDB 오류</source>
        <translation>Database Error</translation>
    </message>
    <message>
        <source>Jet Data Base Engine의 식을 확인하세요.</source>
        <translation>Check the database query.</translation>
    </message>
    <message>
        <source>프로그램 수행도중 오류가 발생했습니다.</source>
        <translation>An error occurred while the program was running.</translation>
    </message>
    <message>
        <source>[%1]은(는) 필수 입력 사항입니다.</source>
        <translation>[%1] must be filled in.</translation>
    </message>
    <message>
        <source>필수입력</source>
        <translation>Required</translation>
    </message>
    <message>
        <source>필수 입력사항을 입력하지 않았습니다.</source>
        <translation>A required field is empty.</translation>
    </message>
</context>
<context>
    <name>PartFile</name>
    <message>
        <source>PNG 파일을 만들 수 없습니다.<byte value="xd"/>
</source>
        <translation>The PNG file cannot be created.<byte value="xd"/>
</translation>
    </message>
</context>
<context>
    <name>PeriodBar</name>
    <message>
        <source>양쪽 날짜 동시에 변경</source>
        <translation>Move both dates together</translation>
    </message>
    <message>
        <source>위아래 화살표로 두 날짜를 함께 옮깁니다</source>
        <translation>The up and down arrows move both dates together</translation>
    </message>
    <message>
        <source>일자 선택</source>
        <translation>Choose Date</translation>
    </message>
</context>
<context>
    <name>PrintComponent</name>
    <message>
        <source>출력일: </source>
        <translation>Printed: </translation>
    </message>
    <message>
        <source>( 검색기간: %1 - %2 )</source>
        <translation>( Period: %1 - %2 )</translation>
    </message>
    <message>
        <source>PDF 파일을 만들 수 없습니다.<byte value="xd"/>
</source>
        <translation>The PDF file cannot be created.<byte value="xd"/>
</translation>
    </message>
</context>
<context>
    <name>ProgressWindow</name>
    <message>
        <source>취소</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>ServerAddress</name>
    <message>
        <source>서버 주소는 postgresql://[사용자@]호스트[:포트]/데이터베이스 꼴로 씁니다.</source>
        <translation>A server address is written as postgresql://[USER@]HOST[:PORT]/DATABASE.</translation>
    </message>
    <message>
        <source>서버 주소에 암호를 쓰지 않습니다. 암호는 ~/.pgpass 또는 PGPASSWORD에 둡니다.</source>
        <translation>Do not put the password in the server address. Keep it in ~/.pgpass or PGPASSWORD.</translation>
    </message>
    <message>
        <source>서버 주소에 데이터베이스 이름이 없습니다.</source>
        <translation>The server address has no database name.</translation>
    </message>
    <message>
        <source>서버 주소의 알 수 없는 설정입니다: %1</source>
        <translation>Unknown setting in the server address: %1</translation>
    </message>
    <message>
        <source>서버 주소의 %1에 쓸 수 없는 글자가 있습니다: %2</source>
        <translation>The %1 in the server address holds characters that cannot be used: %2</translation>
    </message>
    <message>
        <source>사용자</source>
        <translation>user name</translation>
    </message>
    <message>
        <source>호스트</source>
        <translation>host</translation>
    </message>
    <message>
        <source>서버 주소의 포트는 1에서 65535 사이입니다.</source>
        <translation>The port in the server address lies between 1 and 65535.</translation>
    </message>
    <message>
        <source>데이터베이스 이름</source>
        <translation>database name</translation>
    </message>
    <message>
        <source>서버 주소의 sslmode는 %1 가운데 하나입니다: %2</source>
        <translation>The sslmode in the server address is one of %1: %2</translation>
    </message>
    <message>
        <source>서버 주소에 같은 설정이 두 번 있습니다: %1</source>
        <translation>The server address gives the same setting twice: %1</translation>
    </message>
</context>
<context>
    <name>ServerSchema</name>
    <message>
        <source>이 데이터베이스에는 이미 Tallox 장부가 있습니다: %1</source>
        <translation>This database already holds Tallox books: %1</translation>
    </message>
</context>
<context>
    <name>Settlement</name>
    <message>
        <source>미입금 %1곳 %2원, 가장 오래된 것 %3 %4</source>
        <translation>Not paid out: %1 card companies, %2 won, oldest %3 %4</translation>
    </message>
</context>
<context>
    <name>SettlementSheet</name>
    <message>
        <source>기준일 %1, 수수료 기간 %2 - %3</source>
        <translation>Day %1, fees from %2 to %3</translation>
    </message>
    <message>
        <source> | 공휴일 파일에 %1년이 없어 그 해는 주말만 뺐습니다 (holidays.txt)</source>
        <translation> | The holiday file lacks %1: only weekends are skipped in those years (holidays.txt)</translation>
    </message>
    <message>
        <source>카드사</source>
        <translation>Card company</translation>
    </message>
    <message>
        <source>결제일</source>
        <translation>Pay days</translation>
    </message>
    <message>
        <source>미수금</source>
        <translation>Outstanding</translation>
    </message>
    <message>
        <source>오늘 입금예정</source>
        <translation>Due today</translation>
    </message>
    <message>
        <source>미입금</source>
        <translation>Overdue</translation>
    </message>
    <message>
        <source>지연(영업일)</source>
        <translation>Late (bus. days)</translation>
    </message>
    <message>
        <source>선입금</source>
        <translation>Paid ahead</translation>
    </message>
    <message>
        <source>수수료율</source>
        <translation>Fee rate</translation>
    </message>
    <message>
        <source>차이</source>
        <translation>Difference</translation>
    </message>
    <message>
        <source>정산 현황</source>
        <translation>Settlement</translation>
    </message>
    <message>
        <source>월,화,수,목,금,토,일</source>
        <translation>Mon,Tue,Wed,Thu,Fri,Sat,Sun</translation>
    </message>
    <message>
        <source>미입금 매출일</source>
        <translation>Oldest unpaid sale</translation>
    </message>
    <message>
        <source>실수수료율</source>
        <translation>Fee kept</translation>
    </message>
</context>
<context>
    <name>SettlementWindow</name>
    <message>
        <source>첫 날짜부터 수수료를 보고, 둘째 날짜를 기준일로 미입금을 셉니다</source>
        <translation>Fees are checked from the first date; pay-outs are counted as of the second date</translation>
    </message>
    <message>
        <source>조회(F5)</source>
        <translation>Show (F5)</translation>
    </message>
    <message>
        <source>기준일의 정산 현황을 봅니다 (F5)</source>
        <translation>Shows what each card company owes on the day (F5)</translation>
    </message>
    <message>
        <source>엑셀(F7)</source>
        <translation>Excel (F7)</translation>
    </message>
    <message>
        <source>정산 현황을 엑셀로 내보냅니다 (F7)</source>
        <translation>Exports the settlement to Excel (F7)</translation>
    </message>
    <message>
        <source>인쇄(F8)</source>
        <translation>Print (F8)</translation>
    </message>
    <message>
        <source>정산 현황을 인쇄합니다 (F8)</source>
        <translation>Prints the settlement (F8)</translation>
    </message>
    <message>
        <source>닫기(&amp;C)</source>
        <translation>&amp;Close</translation>
    </message>
    <message>
        <source>창을 닫습니다 (Alt+C, Esc)</source>
        <translation>Closes the window (Alt+C, Esc)</translation>
    </message>
    <message>
        <source>두 번 누르면 그 카드사의 원장을 가장 오래된 미입금 매출일부터 엽니다</source>
        <translation>Double-click to open the ledger of that card company from its oldest unpaid sale</translation>
    </message>
    <message>
        <source>조회기간의 날짜가 올바르지 않습니다.</source>
        <translation>The dates of the period are not valid.</translation>
    </message>
</context>
<context>
    <name>SpreadDesign</name>
    <message>
        <source>[합 계]</source>
        <translation>[Total]</translation>
    </message>
</context>
<context>
    <name>Startup</name>
    <message>
        <source>데이터베이스를 만들 수 없습니다: %1</source>
        <translation>Cannot create the databases: %1</translation>
    </message>
</context>
<context>
    <name>SumBillChart</name>
    <message>
        <source>월</source>
        <translation>Month</translation>
    </message>
    <message>
        <source>연도 (막대 하나가 한 달)</source>
        <translation>Year (one bar per month)</translation>
    </message>
    <message>
        <source>%1 수수료율</source>
        <translation>%1 fee rate</translation>
    </message>
    <message>
        <source>카드사별 매출액(막대)과 수수료율(선): %1 - %2</source>
        <translation>Sales (bars) and fee rates (lines) by card company: %1 - %2</translation>
    </message>
    <message>
        <source>매출액 (원)</source>
        <translation>Sales (won)</translation>
    </message>
    <message>
        <source>수수료율 (%)</source>
        <translation>Fee rate (%)</translation>
    </message>
    <message>
        <source>월별 추이</source>
        <translation>Monthly Trend</translation>
    </message>
    <message>
        <source>연도</source>
        <translation>Year</translation>
    </message>
    <message>
        <source>연도 (막대 하나가 %1년)</source>
        <translation>Years (one bar is %1 years)</translation>
    </message>
</context>
<context>
    <name>SumBillData</name>
    <message>
        <source>(삭제된 카드 %1)</source>
        <translation>(deleted card %1)</translation>
    </message>
    <message>
        <source>카드사별 집계</source>
        <translation>Summary by Card Company</translation>
    </message>
</context>
<context>
    <name>SumBillSheet</name>
    <message>
        <source>카드명</source>
        <translation>Card name</translation>
    </message>
    <message>
        <source>건수</source>
        <translation>Slips</translation>
    </message>
    <message>
        <source>전기이월</source>
        <translation>Brought forward</translation>
    </message>
    <message>
        <source>매출액</source>
        <translation>Sales</translation>
    </message>
    <message>
        <source>수수료</source>
        <translation>Fee</translation>
    </message>
    <message>
        <source>결제액</source>
        <translation>Payout</translation>
    </message>
    <message>
        <source>잔액</source>
        <translation>Balance</translation>
    </message>
</context>
<context>
    <name>UpDown</name>
    <message>
        <source>하루 뒤 (날짜 상자에서 위 화살표)</source>
        <translation>One day later (up arrow in the date box)</translation>
    </message>
    <message>
        <source>하루 앞 (날짜 상자에서 아래 화살표)</source>
        <translation>One day earlier (down arrow in the date box)</translation>
    </message>
</context>
<context>
    <name>Utils</name>
    <message>
        <source>고객지원센터 홈페이지로 이동하시겠습니까?</source>
        <translation>Do you want to go to the customer support web site?</translation>
    </message>
</context>
<context>
    <name>WorkbookReader</name>
    <message>
        <source>엑셀 파일에 시트가 없습니다: %1</source>
        <translation>The Excel file has no sheets: %1</translation>
    </message>
    <message>
        <source>엑셀 파일에 &apos;%1&apos; 시트가 없습니다: %2</source>
        <translation>The Excel file has no sheet &apos;%1&apos;: %2</translation>
    </message>
    <message>
        <source>압축을 풀면 %1MB가 넘습니다</source>
        <translation>it inflates to more than %1 MB</translation>
    </message>
    <message>
        <source>태그 없이 %1MB가 넘게 이어집니다</source>
        <translation>more than %1 MB without a tag</translation>
    </message>
    <message>
        <source>엑셀 파일에 %1이(가) 없습니다: %2</source>
        <translation>The Excel file has no %1: %2</translation>
    </message>
    <message>
        <source>엑셀 파일의 %1이(가) 너무 큽니다 (압축을 풀면 %2MB, %3MB까지 읽습니다): %4</source>
        <translation>%1 of the Excel file is too large (%2 MB inflated; up to %3 MB is read): %4</translation>
    </message>
    <message>
        <source>%1, %2번째 줄</source>
        <translation>%1, line %2</translation>
    </message>
    <message>
        <source>엑셀 파일의 %1을(를) 읽을 수 없습니다 (%2): %3</source>
        <translation>%1 of the Excel file cannot be read (%2): %3</translation>
    </message>
    <message>
        <source>공유 문자열 %1이(가) 없습니다</source>
        <translation>there is no shared string %1</translation>
    </message>
    <message>
        <source>엑셀 파일(.xlsx)로 읽을 수 없습니다 (%1): %2</source>
        <translation>The file cannot be read as an Excel file (.xlsx) (%1): %2</translation>
    </message>
    <message>
        <source>엑셀 파일에 &apos;%1&apos; 시트의 파트가 없습니다: %2</source>
        <translation>The Excel file has no part for the sheet &apos;%1&apos;: %2</translation>
    </message>
</context>
<context>
    <name>frmFloatMsg</name>
    <message>
        <source>메시지</source>
        <translation>Message</translation>
    </message>
</context>
<context>
    <name>frmMain</name>
    <message>
        <source>  도구(&amp;T)  </source>
        <translation>  &amp;Tools  </translation>
    </message>
    <message>
        <source>잔액 재정리</source>
        <translation>Rebuild Balances</translation>
    </message>
    <message>
        <source>잔액 검증</source>
        <translation>Check Balances</translation>
    </message>
    <message>
        <source>지금 백업</source>
        <translation>Back Up Now</translation>
    </message>
    <message>
        <source>백업에서 복원</source>
        <translation>Restore from Backup</translation>
    </message>
    <message>
        <source>계산기</source>
        <translation>Calculator</translation>
    </message>
    <message>
        <source>  편집(&amp;E)  </source>
        <translation>  &amp;Edit  </translation>
    </message>
    <message>
        <source>실행 취소</source>
        <translation>Undo</translation>
    </message>
    <message>
        <source>다시 실행</source>
        <translation>Redo</translation>
    </message>
    <message>
        <source>변경 내역</source>
        <translation>Change History</translation>
    </message>
    <message>
        <source>  도움말(&amp;H)  </source>
        <translation>  &amp;Help  </translation>
    </message>
    <message>
        <source>검색기간</source>
        <translation>Period</translation>
    </message>
    <message>
        <source>검색카드</source>
        <translation>Card</translation>
    </message>
    <message>
        <source>수수료 자동입력</source>
        <translation>Automatic fee</translation>
    </message>
    <message>
        <source>조회(F5)</source>
        <translation>Show (F5)</translation>
    </message>
    <message>
        <source>검색기간의 자료를 보여 줍니다 (F5, 종료일에서 Enter)</source>
        <translation>Shows the entries of the period (F5, Enter in the end date)</translation>
    </message>
    <message>
        <source>집계(F6)</source>
        <translation>Summary (F6)</translation>
    </message>
    <message>
        <source>카드사별 집계 창을 엽니다 (F6)</source>
        <translation>Opens the summary by card company (F6)</translation>
    </message>
    <message>
        <source>엑셀(F7)</source>
        <translation>Excel (F7)</translation>
    </message>
    <message>
        <source>명세서를 엑셀로 내보냅니다 (F7)</source>
        <translation>Exports the statement to Excel (F7)</translation>
    </message>
    <message>
        <source>인쇄(F8)</source>
        <translation>Print (F8)</translation>
    </message>
    <message>
        <source>명세서를 인쇄합니다 (F8)</source>
        <translation>Prints the statement (F8)</translation>
    </message>
    <message>
        <source>카드정보</source>
        <translation>Cards</translation>
    </message>
    <message>
        <source>카드사를 등록하고 고칩니다. 처음에는 여기서 카드사부터 등록하세요.</source>
        <translation>Registers and edits card companies. Start here by registering your card companies.</translation>
    </message>
    <message>
        <source>닫기(&amp;C)</source>
        <translation>&amp;Close</translation>
    </message>
    <message>
        <source>프로그램을 닫습니다 (Alt+C)</source>
        <translation>Closes the program (Alt+C)</translation>
    </message>
    <message>
        <source>단축키: F3</source>
        <translation>Shortcut: F3</translation>
    </message>
    <message>
        <source>카드명을 먼저 입력하세요.</source>
        <translation>Type the card name first.</translation>
    </message>
    <message>
        <source>&apos;%1&apos; → 카드코드 %2 %3</source>
        <translation>&apos;%1&apos; → card code %2 %3</translation>
    </message>
    <message>
        <source>삭제할 자료를 선택하세요.</source>
        <translation>Choose the entry to delete.</translation>
    </message>
    <message>
        <source>  매출액 </source>
        <translation>  sales </translation>
    </message>
    <message>
        <source>선택된 자료를 정말로 삭제 하시겠습니까?<byte value="xd"/>
<byte value="xd"/>
</source>
        <translation>Do you really want to delete the selected entry?<byte value="xd"/>
<byte value="xd"/>
</translation>
    </message>
    <message>
        <source>삭제</source>
        <translation>Delete</translation>
    </message>
    <message>
        <source>입력할 수 있는 범위를 벗어났습니다.<byte value="xd"/>
(%1 ~ %2)</source>
        <translation>The value is out of range.<byte value="xd"/>
(%1 ~ %2)</translation>
    </message>
    <message>
        <source>인쇄할 쪽을 만드는 중...</source>
        <translation>Preparing the pages to print...</translation>
    </message>
    <message>
        <source>                    [잔액 재정리]<byte value="xd"/>
<byte value="xd"/>
이월금액이 맞지 않는 경우 재계산을 통하여 자동으로 맞춥니다.<byte value="xd"/>
자료의 양에 따라 다소 시간이 걸릴 수도 있습니다.<byte value="xd"/>
<byte value="xd"/>
진행하시겠습니까?</source>
        <translation>                    [Rebuild Balances]<byte value="xd"/>
<byte value="xd"/>
Carry-over amounts that do not match are recalculated and corrected automatically.<byte value="xd"/>
This may take a while, depending on the amount of data.<byte value="xd"/>
<byte value="xd"/>
Do you want to continue?</translation>
    </message>
    <message>
        <source>이월금액 재계산중...</source>
        <translation>Recalculating the carry-over amounts...</translation>
    </message>
    <message>
        <source>잔액 재정리를 완료 하였습니다.</source>
        <translation>The balances have been rebuilt.</translation>
    </message>
    <message>
        <source>이월금액을 검증하는 중 오류가 발생했습니다.</source>
        <translation>An error occurred while checking the carry-over amounts.</translation>
    </message>
    <message>
        <source>이월금액이 장부와 모두 일치합니다.</source>
        <translation>All carry-over amounts match the books.</translation>
    </message>
    <message>
        <source>백업이 진행중입니다.</source>
        <translation>A backup is in progress.</translation>
    </message>
    <message>
        <source>실행 취소: </source>
        <translation>Undo: </translation>
    </message>
    <message>
        <source>다시 실행: </source>
        <translation>Redo: </translation>
    </message>
    <message>
        <source>자료 가져오기</source>
        <translation>Import Data</translation>
    </message>
    <message>
        <source>자료를 가져왔습니다.</source>
        <translation>The data has been imported.</translation>
    </message>
    <message>
        <source>매출액을 적으면 카드사의 수수료율로 수수료를 계산해 저장합니다. 새 자료의 매출액 다음 Enter는 다음 새 자료의 카드명 칸으로 갑니다</source>
        <translation>Typing the sales calculates the fee with the card company&apos;s fee rate and stores it. Enter after the sales of a new entry goes to the card name box of the next new entry</translation>
    </message>
    <message>
        <source>  파일(&amp;F)  </source>
        <translation>  &amp;File  </translation>
    </message>
    <message>
        <source>종료(&amp;X)</source>
        <translation>E&amp;xit</translation>
    </message>
    <message>
        <source>사용 설명서(&amp;G)</source>
        <translation>User &amp;Guide</translation>
    </message>
    <message>
        <source>홈페이지(&amp;P)</source>
        <translation>Home &amp;Page</translation>
    </message>
    <message>
        <source>정보(&amp;A)</source>
        <translation>&amp;About</translation>
    </message>
    <message>
        <source>계산기 파일을 찾을 수 없습니다.<byte value="xd"/>
<byte value="xd"/>
계산기 프로그램을 설치하세요: sudo apt install %1<byte value="xd"/>
(%2 가운데 하나가 있으면 됩니다)</source>
        <translation>The calculator program cannot be found.<byte value="xd"/>
<byte value="xd"/>
Install a calculator: sudo apt install %1<byte value="xd"/>
(any one of %2 will do)</translation>
    </message>
    <message>
        <source>정산 현황</source>
        <translation>Settlement</translation>
    </message>
</context>
<context>
    <name>frmPlastra_read</name>
    <message>
        <source>코드</source>
        <translation>Code</translation>
    </message>
    <message>
        <source>카 드 명</source>
        <translation>Card name</translation>
    </message>
    <message>
        <source>수수료율</source>
        <translation>Fee rate</translation>
    </message>
    <message>
        <source>결제일</source>
        <translation>Pay days</translation>
    </message>
    <message>
        <source>등록수:</source>
        <translation>Cards:</translation>
    </message>
    <message>
        <source>[%1]를 정말로 삭제 하시겠습니까?</source>
        <translation>Do you really want to delete [%1]?</translation>
    </message>
    <message>
        <source>신용카드 목록</source>
        <translation>Credit Cards</translation>
    </message>
</context>
<context>
    <name>frmPlastra_sel</name>
    <message>
        <source>신용카드 선택</source>
        <translation>Choose Credit Card</translation>
    </message>
    <message>
        <source>선택(&amp;S)</source>
        <translation>&amp;Select</translation>
    </message>
    <message>
        <source>고른 카드사를 장부에 씁니다 (Alt+S, Enter)</source>
        <translation>Puts the chosen card company into the ledger (Alt+S, Enter)</translation>
    </message>
    <message>
        <source>코드</source>
        <translation>Code</translation>
    </message>
    <message>
        <source>카드명</source>
        <translation>Card name</translation>
    </message>
    <message>
        <source>수수료율</source>
        <translation>Fee rate</translation>
    </message>
    <message>
        <source>리스트에서 자료를 선택하세요.</source>
        <translation>Choose an entry in the list.</translation>
    </message>
    <message>
        <source>[%1] 카드를 정말로 삭제 하시겠습니까?</source>
        <translation>Do you really want to delete the card [%1]?</translation>
    </message>
</context>
<context>
    <name>frmPlastra_write</name>
    <message>
        <source>신용카드 추가</source>
        <translation>Add Credit Card</translation>
    </message>
    <message>
        <source>신용카드 데이터베이스를 열 수 없습니다.</source>
        <translation>The credit card database cannot be opened.</translation>
    </message>
    <message>
        <source>*카  드  명</source>
        <translation>*Card name</translation>
    </message>
    <message>
        <source> 수수료율</source>
        <translation> Fee rate</translation>
    </message>
    <message>
        <source> 결제일수</source>
        <translation> Pay days</translation>
    </message>
    <message>
        <source>계속 등록하기(&amp;N)</source>
        <translation>Add a&amp;nother after saving</translation>
    </message>
    <message>
        <source>저장(&amp;S)</source>
        <translation>&amp;Save</translation>
    </message>
    <message>
        <source>닫기(&amp;C)</source>
        <translation>&amp;Close</translation>
    </message>
    <message>
        <source>결제일수가 무엇인지 알려 줍니다</source>
        <translation>Explains what pay days are</translation>
    </message>
    <message>
        <source>저장한 뒤 창을 닫지 않고 다음 카드사를 등록합니다 (Alt+N)</source>
        <translation>Keeps the window open after saving to register the next card company (Alt+N)</translation>
    </message>
    <message>
        <source>카드사를 저장합니다 (Alt+S, 마지막 칸에서 Enter)</source>
        <translation>Saves the card company (Alt+S, Enter in the last box)</translation>
    </message>
    <message>
        <source>저장하지 않고 닫습니다 (Alt+C, Esc)</source>
        <translation>Closes without saving (Alt+C, Esc)</translation>
    </message>
    <message>
        <source>신규 카드 등록</source>
        <translation>Register New Card</translation>
    </message>
    <message>
        <source>기존 카드 수정</source>
        <translation>Edit Card</translation>
    </message>
    <message>
        <source>결제일수란 카드사로부터 실수금을 하기까지의 대기일수를 말합니다.<byte value="xd"/>
<byte value="xd"/>
이는 입금전표 작성시 결제일자를 자동으로 계산하기 위해 사용됩니다.<byte value="xd"/>
<byte value="xd"/>
예를 들어 4를 입력시 고객이 카드로 입금처리 한 날로 부터 4일후에<byte value="xd"/>
<byte value="xd"/>
카드사로부터 해당금액을 결제받음을 의미합니다.</source>
        <translation>Pay days are the number of days you wait until the card company actually pays you.<byte value="xd"/>
<byte value="xd"/>
They are used to work out the payment date automatically when a deposit slip is written.<byte value="xd"/>
<byte value="xd"/>
For example, 4 means that 4 days after the day the customer paid by card<byte value="xd"/>
<byte value="xd"/>
the card company pays you the amount.</translation>
    </message>
    <message>
        <source>카드명</source>
        <translation>Card name</translation>
    </message>
    <message>
        <source>자료가 저장되었습니다.</source>
        <translation>The entry has been saved.</translation>
    </message>
    <message>
        <source>숫자만, 소수 둘째 자리까지 (예: 1.5)</source>
        <translation>Numbers only, up to two decimals (e.g. 1.5)</translation>
    </message>
    <message>
        <source>수수료율 &apos;%1&apos;을(를) 읽을 수 없습니다.<byte value="xd"/>
0 이상의 숫자로 입력하세요 (예: 1.5).</source>
        <translation>The fee rate &apos;%1&apos; cannot be read.<byte value="xd"/>
Type a number of 0 or more (e.g. 1.5).</translation>
    </message>
</context>
<context>
    <name>frmSumBill</name>
    <message>
        <source>조회(F5)</source>
        <translation>Show (F5)</translation>
    </message>
    <message>
        <source>기간을 카드사별로 집계합니다 (F5)</source>
        <translation>Sums up the period by card company (F5)</translation>
    </message>
    <message>
        <source>엑셀(F7)</source>
        <translation>Excel (F7)</translation>
    </message>
    <message>
        <source>집계를 엑셀로 내보냅니다 (F7)</source>
        <translation>Exports the summary to Excel (F7)</translation>
    </message>
    <message>
        <source>인쇄(F8)</source>
        <translation>Print (F8)</translation>
    </message>
    <message>
        <source>집계를 인쇄합니다 (F8)</source>
        <translation>Prints the summary (F8)</translation>
    </message>
    <message>
        <source>닫기(&amp;C)</source>
        <translation>&amp;Close</translation>
    </message>
    <message>
        <source>창을 닫습니다 (Alt+C, Esc)</source>
        <translation>Closes the window (Alt+C, Esc)</translation>
    </message>
    <message>
        <source>조회기간의 날짜가 올바르지 않습니다.</source>
        <translation>The dates of the period are not valid.</translation>
    </message>
    <message>
        <source>PNG 저장(F7)</source>
        <translation>Save PNG (F7)</translation>
    </message>
    <message>
        <source>그림으로 저장할 매출이 없습니다.<byte value="xd"/>
자료가 있는 기간을 조회한 뒤 저장하세요.</source>
        <translation>There are no sales to save as a picture.<byte value="xd"/>
Show a period with entries first, then save.</translation>
    </message>
</context>
<context>
    <name>modSpread</name>
    <message>
        <source>자료를 삭제하였습니다.</source>
        <translation>The entry has been deleted.</translation>
    </message>
    <message>
        <source>그리드 줄높이 변경</source>
        <translation>Change row height</translation>
    </message>
    <message>
        <source>글자크기        변경</source>
        <translation>Change font size</translation>
    </message>
    <message>
        <source>폼 및 그리드 설정 초기화</source>
        <translation>Reset window and grid layout</translation>
    </message>
    <message>
        <source>메    뉴      닫    기</source>
        <translation>Close menu</translation>
    </message>
    <message>
        <source>해당폼의 폼의 위치 및 크기, 그리드의 각 칸의 넓이<byte value="xd"/>
<byte value="xd"/>
, 줄높이, 글자크기등이 모두 초기화 됩니다.<byte value="xd"/>
<byte value="xd"/>
초기화 하시겠습니까?</source>
        <translation>The position and size of this window and the column widths,<byte value="xd"/>
<byte value="xd"/>
row height and font size of its grids are all reset.<byte value="xd"/>
<byte value="xd"/>
Do you want to reset them?</translation>
    </message>
    <message>
        <source>초기화를 완료하였습니다.<byte value="xd"/>
<byte value="xd"/>
현재창을 닫고 다시 열어 주셔야 초기화된 형태가 제대로 보여집니다.</source>
        <translation>The layout has been reset.<byte value="xd"/>
<byte value="xd"/>
Close this window and open it again to see the reset layout.</translation>
    </message>
    <message>
        <source>변경할 그리드의 줄높이를 입력하세요.(입력범위: 8~20, 0:기본값)</source>
        <translation>Enter the new row height of the grid. (8 to 20, 0: default)</translation>
    </message>
    <message>
        <source>그리드의 줄높이 변경</source>
        <translation>Change Row Height</translation>
    </message>
    <message>
        <source>변경할 글자의 크기를 입력하세요.(입력범위: 8~20, 0:기본값)</source>
        <translation>Enter the new font size. (8 to 20, 0: default)</translation>
    </message>
    <message>
        <source>그리드내 글자크기 변경</source>
        <translation>Change Font Size</translation>
    </message>
</context>
</TS>
