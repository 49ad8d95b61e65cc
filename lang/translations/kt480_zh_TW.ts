<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_TW">
<context>
    <name>AllBackup</name>
    <message>
        <source>Parameters: %1</source>
        <translation>參數：%1</translation>
    </message>
    <message>
        <source>complete</source>
        <translation>已完成</translation>
    </message>
    <message>
        <source>Cards: %1</source>
        <translation>卡片：%1</translation>
    </message>
    <message numerus="yes">
        <source>Parameters: %n values saved to %1.</source>
        <translation>
            <numerusform>參數：已將 %n 個數值儲存至 %1。</numerusform>
        </translation>
    </message>
    <message>
        <source>Cards: the controller holds no cards (numbers %1 to %2); an empty card file was saved to %3.</source>
        <translation>卡片：裝置中沒有卡片（卡片編號 %1 至 %2）；已將空白的卡片檔案儲存至 %3。</translation>
    </message>
    <message numerus="yes">
        <source>Parameters: %n values written from %1.</source>
        <translation>
            <numerusform>參數：已從 %1 寫入 %n 個數值。</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Cards: all cards deleted, then %n cards written from %1.</source>
        <translation>
            <numerusform>卡片：已刪除全部卡片，再從 %1 寫入 %n 張卡片。</numerusform>
        </translation>
    </message>
    <message>
        <source>the card number range %1 to %2 holds no number; no card was read and the card file was not written</source>
        <translation>卡片編號範圍 %1 至 %2 不含任何編號；未讀取任何卡片，也未寫入卡片檔案</translation>
    </message>
    <message numerus="yes">
        <source>Cards: %n cards of numbers %2 to %3 saved to %1.</source>
        <translation>
            <numerusform>卡片：已將編號 %2 至 %3 的 %n 張卡片儲存至 %1。</numerusform>
        </translation>
    </message>
    <message>
        <source>the read was cancelled before the first card number</source>
        <translation>讀取在第一個卡片編號之前已取消</translation>
    </message>
    <message>
        <source>the controller stopped answering before the first card number</source>
        <translation>裝置在第一個卡片編號之前就停止回應</translation>
    </message>
    <message>
        <source>the read was cancelled after card number %1</source>
        <translation>讀取在卡片編號 %1 之後已取消</translation>
    </message>
    <message>
        <source>the controller stopped answering after card number %1</source>
        <translation>裝置在卡片編號 %1 之後停止回應</translation>
    </message>
    <message>
        <source>%1; card numbers %2 to %3 were not read</source>
        <translation>%1；卡片編號 %2 至 %3 未讀取</translation>
    </message>
    <message numerus="yes">
        <source>%n card number(s) could not be read: %1</source>
        <translation>
            <numerusform>有 %n 個卡片編號無法讀取：%1</numerusform>
        </translation>
    </message>
    <message>
        <source>The card list read from the controller is not complete:</source>
        <translation>從裝置讀取的卡片清單不完整：</translation>
    </message>
    <message numerus="yes">
        <source>%n card(s) were found in the numbers %1 to %2.</source>
        <translation>
            <numerusform>在編號 %1 至 %2 中找到 %n 張卡片。</numerusform>
        </translation>
    </message>
    <message>
        <source>A restore of the card file deletes every card in the controller and writes back only the cards in the file.</source>
        <translation>還原卡片檔案時，會先刪除裝置中的全部卡片，再只寫回檔案中的卡片。</translation>
    </message>
    <message>
        <source>Replace the existing card file %1 with this incomplete list?</source>
        <translation>要用這份不完整的清單取代現有的卡片檔案 %1 嗎？</translation>
    </message>
    <message>
        <source>Save this incomplete list as the card file %1?</source>
        <translation>要將這份不完整的清單儲存為卡片檔案 %1 嗎？</translation>
    </message>
    <message>
        <source>cancelled before the cards were read; the card file was not written</source>
        <translation>在讀取卡片之前已取消；未寫入卡片檔案</translation>
    </message>
    <message>
        <source>no card number was read; the card file was not written</source>
        <translation>未讀取任何卡片編號；未寫入卡片檔案</translation>
    </message>
    <message>
        <source>the incomplete card list was not saved; the earlier card file %1 was kept</source>
        <translation>不完整的卡片清單未儲存；已保留原有的卡片檔案 %1</translation>
    </message>
    <message>
        <source>the incomplete card list was not saved; no card file was written</source>
        <translation>不完整的卡片清單未儲存；未寫入卡片檔案</translation>
    </message>
    <message numerus="yes">
        <source>Cards: %n cards of numbers %2 to %3 saved to %1; the list is not complete.</source>
        <translation>
            <numerusform>卡片：已將編號 %2 至 %3 的 %n 張卡片儲存至 %1；清單不完整。</numerusform>
        </translation>
    </message>
    <message>
        <source>cancelled before the cards were written; the controller&apos;s cards were not touched</source>
        <translation>在寫入卡片之前已取消；裝置中的卡片未做任何變更</translation>
    </message>
    <message>
        <source>nothing was written to the controller</source>
        <translation>控制器未寫入任何資料</translation>
    </message>
    <message>
        <source>the controller&apos;s firmware version could not be read; %1</source>
        <translation>無法讀取控制器的韌體版本；%1</translation>
    </message>
    <message>
        <source>the parameters were not written, because the card file cannot be restored</source>
        <translation>卡片檔案無法還原，因此未寫入參數</translation>
    </message>
    <message numerus="yes">
        <source>%n row(s) of %1 cannot be written:</source>
        <translation>
            <numerusform>%1 中有 %n 列無法寫入：</numerusform>
        </translation>
    </message>
    <message>
        <source>the cards were not written, because the parameter file cannot be restored</source>
        <translation>參數檔案無法還原，因此未寫入卡片</translation>
    </message>
    <message>
        <source>The backup does not say which card numbers it read; the numbers %1 to %2 are taken.</source>
        <translation>備份未記錄讀取了哪些卡號；以卡號 %1 至 %2 計。</translation>
    </message>
    <message>
        <source>cancelled while the cards outside the backup&apos;s range were read; %1</source>
        <translation>讀取備份範圍以外的卡片時已取消；%1</translation>
    </message>
    <message>
        <source>A restore deletes every card in the controller, these too. Restore all the same?</source>
        <translation>還原會刪除控制器中的所有卡片，包括這些卡片。仍要還原嗎？</translation>
    </message>
    <message>
        <source>Restored although %1</source>
        <translation>已還原，儘管%1</translation>
    </message>
    <message>
        <source>Cards: %1 holds no cards; the cards the controller holds stay as they were.</source>
        <translation>卡片：%1 中沒有卡片；控制器中的卡片保持不變。</translation>
    </message>
    <message>
        <source>Cards from %1 over the numbers %2 to %3; no card was deleted first.</source>
        <translation>卡片：來源 %1，卡號 %2 至 %3；未先刪除任何卡片。</translation>
    </message>
</context>
<context>
    <name>ArchiveAddress</name>
    <message>
        <source>no archive given: a file path or postgresql://USER@HOST[:PORT]/NAME</source>
        <translation>未指定資料庫：請給檔案路徑或 postgresql://USER@HOST[:PORT]/NAME</translation>
    </message>
    <message>
        <source>the archive address holds a password; give it in PGPASSWORD or ~/.pgpass instead (it was not used)</source>
        <translation>資料庫位址含有密碼；請改在 PGPASSWORD 或 ~/.pgpass 中提供（此密碼未被使用）</translation>
    </message>
    <message>
        <source>the archive address is not of the form postgresql://USER@HOST[:PORT]/NAME</source>
        <translation>資料庫位址的格式不是 postgresql://USER@HOST[:PORT]/NAME</translation>
    </message>
    <message>
        <source>%1: the port must be 1 to 65535</source>
        <translation>%1：連接埠必須為 1 至 65535</translation>
    </message>
</context>
<context>
    <name>CardCodec</name>
    <message>
        <source>card number &quot;%1&quot; is not a whole number from 1 to 9999999</source>
        <translation>卡片編號「%1」不是 1 至 9999999 之間的整數</translation>
    </message>
    <message>
        <source>card %1 holds characters a controller cannot take</source>
        <translation>卡片 %1 含有裝置無法接受的字元</translation>
    </message>
    <message>
        <source>card %1: application number &quot;%2&quot; is not 0 to 99</source>
        <translation>卡片 %1：AppNo「%2」不在 0 至 99 之間</translation>
    </message>
    <message>
        <source>card %1: type &quot;%2&quot; is not one digit</source>
        <translation>卡片 %1：類型「%2」不是一位數字</translation>
    </message>
    <message>
        <source>card %1: APB &quot;%2&quot; is not one digit</source>
        <translation>卡片 %1：APB「%2」不是一位數字</translation>
    </message>
    <message>
        <source>card %1: card ID &quot;%2&quot; is longer than 16 characters</source>
        <translation>卡片 %1：卡片 ID「%2」超過 16 個字元</translation>
    </message>
    <message>
        <source>card %1: PIN &quot;%2&quot; is not up to 4 digits or X</source>
        <translation>卡片 %1：PIN「%2」不是最多 4 位的數字或 X</translation>
    </message>
    <message>
        <source>card %1: card ID &quot;%2&quot; holds a space</source>
        <translation>卡片 %1：卡片 ID「%2」含有空格</translation>
    </message>
</context>
<context>
    <name>CardFile</name>
    <message>
        <source>not a card file (the card fields DataNO, DataID, DataApp, DataType, DataPIN, DataAPB are missing)</source>
        <translation>不是卡片檔案（缺少卡片欄位 DataNO、DataID、DataApp、DataType、DataPIN、DataAPB）</translation>
    </message>
</context>
<context>
    <name>CardSync</name>
    <message>
        <source>the card list holds no cards; nothing was sent, as a sync would empty every number of the range</source>
        <translation>卡片清單中沒有卡片；未傳送任何資料，因為同步會清空範圍內的每個卡號</translation>
    </message>
    <message numerus="yes">
        <source>%n row(s) of the card list cannot be written; nothing was sent</source>
        <translation>
            <numerusform>卡片清單中有 %n 列無法寫入；未傳送任何資料</numerusform>
        </translation>
    </message>
    <message>
        <source>the link could not be opened</source>
        <translation>無法開啟連線</translation>
    </message>
    <message>
        <source>the read was cancelled; nothing was written</source>
        <translation>讀取已取消；未寫入任何資料</translation>
    </message>
    <message>
        <source>the sync was cancelled</source>
        <translation>同步已取消</translation>
    </message>
    <message>
        <source>the controller stopped answering</source>
        <translation>裝置停止回應</translation>
    </message>
    <message numerus="yes">
        <source>%n card number(s) could not be read: %1</source>
        <translation>
            <numerusform>有 %n 個卡號無法讀取：%1</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n card number(s) were left as they were: %1</source>
        <translation>
            <numerusform>有 %n 個卡號保持原狀：%1</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n card number(s) are not confirmed as the list has them: %1</source>
        <translation>
            <numerusform>有 %n 個卡號未確認與清單相同：%1</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>CardTransfer</name>
    <message>
        <source>the link could not be opened</source>
        <translation>無法開啟連線</translation>
    </message>
    <message>
        <source>the read was cancelled</source>
        <translation>讀取已取消</translation>
    </message>
    <message>
        <source>the controller stopped answering</source>
        <translation>裝置停止回應</translation>
    </message>
    <message numerus="yes">
        <source>%n card number(s) could not be read: %1</source>
        <translation>
            <numerusform>有 %n 個卡片編號無法讀取：%1</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n row(s) were not written because they are not valid</source>
        <translation>
            <numerusform>有 %n 列資料無效，未寫入</numerusform>
        </translation>
    </message>
    <message>
        <source>deleting all cards was refused; the earlier cards are still in the controller</source>
        <translation>裝置拒絕刪除全部卡片；原有的卡片仍在裝置中</translation>
    </message>
    <message>
        <source>deleting all cards got no usable reply; whether the earlier cards were deleted is not known</source>
        <translation>刪除全部卡片沒有得到可用的回應；無法得知原有的卡片是否已刪除</translation>
    </message>
    <message>
        <source>the controller answers, but not the card reads; the read stopped</source>
        <translation>裝置有回應，但不回應讀取卡片；讀取已停止</translation>
    </message>
    <message>
        <source>the controller answers, but not the card writes; the write stopped</source>
        <translation>裝置有回應，但不回應寫入卡片；寫入已停止</translation>
    </message>
    <message>
        <source>cancelled before every card was written</source>
        <translation>在全部卡片寫入完成前已取消</translation>
    </message>
    <message numerus="yes">
        <source>%n card(s) were not accepted: %1</source>
        <translation>
            <numerusform>有 %n 張卡片未被裝置接受：%1</numerusform>
        </translation>
    </message>
    <message>
        <source>… (%1 more)</source>
        <translation>…（還有 %1 個）</translation>
    </message>
    <message>
        <source>row %1: %2</source>
        <translation>第 %1 列：%2</translation>
    </message>
    <message>
        <source>card number %1 is also in row %2 with another card; the controller keeps one card per number</source>
        <translation>卡片編號 %1 也在第 %2 列，卡片不同；控制器每個編號只保存一張卡片</translation>
    </message>
    <message numerus="yes">
        <source>every card in the controller was deleted first; it now holds only the %n card(s) written since</source>
        <translation>
            <numerusform>控制器中的全部卡片已先刪除；目前只有之後寫入的 %n 張卡片</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>CardsOutsideRange</name>
    <message numerus="yes">
        <source>the controller holds %n card(s) outside the numbers %1 to %2 that the backup read: %3</source>
        <translation>
            <numerusform>控制器在備份讀取的卡號 %1 至 %2 以外有 %n 張卡片：%3</numerusform>
        </translation>
    </message>
    <message>
        <source>the cards outside the numbers %1 to %2 could not be checked: %3</source>
        <translation>無法檢查卡號 %1 至 %2 以外的卡片：%3</translation>
    </message>
    <message numerus="yes">
        <source>%n card number(s) outside the backup&apos;s range could not be read: %1</source>
        <translation>
            <numerusform>備份範圍以外有 %n 個卡號無法讀取：%1</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>CommandCheck</name>
    <message>
        <source>the value holds control characters</source>
        <translation>數值含有控制字元</translation>
    </message>
    <message>
        <source>the value holds characters the controller cannot take</source>
        <translation>數值含有裝置無法接受的字元</translation>
    </message>
    <message>
        <source>not a parameter code</source>
        <translation>不是參數代碼</translation>
    </message>
    <message>
        <source>the command would be longer than %1 characters</source>
        <translation>指令會超過 %1 個字元</translation>
    </message>
</context>
<context>
    <name>DataPacketReader</name>
    <message>
        <source>the file holds no XML element</source>
        <translation>檔案中沒有任何 XML 元素</translation>
    </message>
    <message>
        <source>not a data packet: the document element is &lt;%1&gt;</source>
        <translation>不是資料封包：文件根元素為 &lt;%1&gt;</translation>
    </message>
    <message>
        <source>rows come before the field definitions</source>
        <translation>資料列出現在欄位定義之前</translation>
    </message>
    <message>
        <source>the data packet has no field definitions</source>
        <translation>資料封包沒有欄位定義</translation>
    </message>
    <message>
        <source>the data packet defines no fields</source>
        <translation>資料封包未定義任何欄位</translation>
    </message>
    <message>
        <source>FIELD has no usable attrname (&quot;%1&quot;)</source>
        <translation>FIELD 沒有可用的 attrname（「%1」）</translation>
    </message>
    <message>
        <source>field &quot;%1&quot; is defined twice</source>
        <translation>欄位「%1」重複定義</translation>
    </message>
    <message>
        <source>field &quot;%1&quot; has the width &quot;%2&quot;</source>
        <translation>欄位「%1」的寬度「%2」無效</translation>
    </message>
    <message>
        <source>%1: line %2, column %3: %4</source>
        <translation>%1：第 %2 行，第 %3 欄：%4</translation>
    </message>
    <message>
        <source>%1: line %2: %3</source>
        <translation>%1：第 %2 行：%3</translation>
    </message>
</context>
<context>
    <name>DataPacketWriter</name>
    <message>
        <source>a field name holds the character %1, which a data packet cannot carry</source>
        <translation>欄位名稱含有字元 %1，資料封包無法儲存此字元</translation>
    </message>
    <message>
        <source>row %1, field %2 holds the character %3, which a data packet cannot carry</source>
        <translation>第 %1 列的欄位 %2 含有字元 %3，資料封包無法儲存此字元</translation>
    </message>
</context>
<context>
    <name>EventArchive</name>
    <message>
        <source>the archive cannot be written (read-only): %1</source>
        <translation>無法寫入資料庫（唯讀）：%1</translation>
    </message>
    <message>
        <source>the disk is full: %1</source>
        <translation>磁碟已滿：%1</translation>
    </message>
    <message>
        <source>not a database: %1</source>
        <translation>不是資料庫：%1</translation>
    </message>
    <message>
        <source>another program keeps the archive busy: %1</source>
        <translation>資料庫正被其他程式占用：%1</translation>
    </message>
    <message>
        <source>no connection to the database server: %1</source>
        <translation>無法連線到資料庫伺服器：%1</translation>
    </message>
    <message>
        <source>the SQLite driver of Qt SQL (libqt6sql6-sqlite) is not installed</source>
        <translation>未安裝 Qt SQL 的 SQLite 驅動程式（libqt6sql6-sqlite）</translation>
    </message>
    <message>
        <source>the PostgreSQL driver of Qt SQL (libqt6sql6-psql) is not installed</source>
        <translation>未安裝 Qt SQL 的 PostgreSQL 驅動程式（libqt6sql6-psql）</translation>
    </message>
    <message>
        <source>not a file</source>
        <translation>不是檔案</translation>
    </message>
    <message>
        <source>there is no archive</source>
        <translation>資料庫不存在</translation>
    </message>
    <message>
        <source>the folder %1 does not exist</source>
        <translation>資料夾 %1 不存在</translation>
    </message>
    <message>
        <source>cannot be read: %1</source>
        <translation>無法讀取：%1</translation>
    </message>
    <message>
        <source>not a database (not an SQLite file)</source>
        <translation>不是資料庫（不是 SQLite 檔案）</translation>
    </message>
    <message>
        <source>cannot open the archive</source>
        <translation>無法開啟資料庫</translation>
    </message>
    <message>
        <source>cannot begin a transaction</source>
        <translation>無法開始交易</translation>
    </message>
    <message>
        <source>the transaction did not commit</source>
        <translation>交易未能提交</translation>
    </message>
    <message>
        <source>cannot lock the schema</source>
        <translation>無法鎖定資料表結構</translation>
    </message>
    <message>
        <source>cannot read the archive</source>
        <translation>無法讀取資料庫</translation>
    </message>
    <message>
        <source>cannot read the archive&apos;s version</source>
        <translation>無法讀取資料庫的版本</translation>
    </message>
    <message>
        <source>the database of another program (it holds tables that are not the archive&apos;s); nothing was changed</source>
        <translation>這是其他程式的資料庫（含有不屬於本資料庫的資料表）；未做任何變更</translation>
    </message>
    <message>
        <source>not an archive yet: no events were stored there</source>
        <translation>尚不是記錄資料庫：其中未存入任何記錄</translation>
    </message>
    <message>
        <source>made by a newer version of this program (archive version %1, this program knows up to %2); nothing was changed</source>
        <translation>由本程式的較新版本建立（資料庫版本 %1，本程式最高支援 %2）；未做任何變更</translation>
    </message>
    <message>
        <source>cannot bring the archive to version %1</source>
        <translation>無法將資料庫升級到版本 %1</translation>
    </message>
    <message>
        <source>cannot write to the archive</source>
        <translation>無法寫入資料庫</translation>
    </message>
    <message>
        <source>cannot store the controller&apos;s name</source>
        <translation>無法存入控制器的名稱</translation>
    </message>
    <message>
        <source>cannot store the events</source>
        <translation>無法存入記錄</translation>
    </message>
    <message>
        <source>cannot search the archive</source>
        <translation>無法查詢資料庫</translation>
    </message>
    <message>
        <source>cannot count the events</source>
        <translation>無法計算記錄數</translation>
    </message>
    <message>
        <source>archive version %1 is brought up to date at its first write, and this file cannot be written</source>
        <translation>資料庫版本 %1 須在首次寫入時升級，而此檔案無法寫入</translation>
    </message>
</context>
<context>
    <name>LoopbackOnly</name>
    <message>
        <source>%1 is outside 127.0.0.0/8 and KT480_LOOPBACK_ONLY=1 is set: refused, nothing was sent</source>
        <translation>%1 不在 127.0.0.0/8 之內，且已設定 KT480_LOOPBACK_ONLY=1：已拒絕，未送出任何資料</translation>
    </message>
</context>
<context>
    <name>NetworkSearch</name>
    <message>
        <source>%1 is not the first three parts of an IPv4 address</source>
        <translation>%1 不是 IPv4 位址的前三段</translation>
    </message>
    <message>
        <source>the address range %1-%2 is not within 0-255 in ascending order</source>
        <translation>位址範圍 %1-%2 必須在 0-255 之間且由小到大</translation>
    </message>
    <message>
        <source>port 0 cannot be searched</source>
        <translation>無法搜尋埠號 0</translation>
    </message>
    <message>
        <source>the Device ID range %1-%2 is not within 0-9999 in ascending order</source>
        <translation>裝置編號範圍 %1-%2 必須在 0-9999 之間且由小到大</translation>
    </message>
</context>
<context>
    <name>OutcomeText</name>
    <message>
        <source> and %1 more</source>
        <translation>，另有 %1 個</translation>
    </message>
</context>
<context>
    <name>PageParameterIo</name>
    <message>
        <source>%1: not a page parameter</source>
        <translation>%1：不是本頁的參數</translation>
    </message>
    <message>
        <source>%1: no answer</source>
        <translation>%1：沒有回應</translation>
    </message>
    <message>
        <source>%1: answer &quot;%2&quot; is not one of its values</source>
        <translation>%1：回應值「%2」不是可用的選項</translation>
    </message>
    <message>
        <source>%1: not written</source>
        <translation>%1：未寫入</translation>
    </message>
    <message numerus="yes">
        <source>The controller stopped answering at %1; %n rows were not written.</source>
        <translation>
            <numerusform>控制器於 %1 停止回應；有 %n 列未寫入。</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>The controller stopped answering at %1; %n rows were not read.</source>
        <translation>
            <numerusform>控制器於 %1 停止回應；有 %n 列未讀取。</numerusform>
        </translation>
    </message>
    <message>
        <source>%1: refused by the controller</source>
        <translation>%1：控制器拒絕</translation>
    </message>
    <message>
        <source>%1: empty answer</source>
        <translation>%1：回應為空</translation>
    </message>
    <message>
        <source>%1: refused by the controller, not written</source>
        <translation>%1：控制器拒絕，未寫入</translation>
    </message>
    <message>
        <source>%1: no value to write</source>
        <translation>%1：沒有要寫入的數值</translation>
    </message>
    <message numerus="yes">
        <source>Cancelled at %1; %n rows were not written.</source>
        <translation>
            <numerusform>已於 %1 取消；有 %n 列未寫入。</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Cancelled at %1; %n rows were not read.</source>
        <translation>
            <numerusform>已於 %1 取消；有 %n 列未讀取。</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>ParamDefaults</name>
    <message>
        <source>%1: default not written</source>
        <translation>%1：預設值未寫入</translation>
    </message>
    <message>
        <source>not sent: %1</source>
        <translation>未傳送：%1</translation>
    </message>
</context>
<context>
    <name>ParamFileTransfer</name>
    <message>
        <source>(empty code, row %1)</source>
        <translation>（空白代碼，第 %1 列）</translation>
    </message>
    <message>
        <source>No export file is chosen.</source>
        <translation>尚未選擇匯出檔案。</translation>
    </message>
    <message>
        <source>The controller does not answer; nothing was read and no file was written.</source>
        <translation>裝置沒有回應；未讀取任何資料，也未寫入檔案。</translation>
    </message>
    <message numerus="yes">
        <source>%n values were not read: the controller answered, but every reply was damaged: %1</source>
        <translation>
            <numerusform>有 %n 個數值未讀取：裝置有回應，但每次回應都已損壞：%1</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n codes never answered. The line lost replies, so the controller may hold some of them: %1</source>
        <translation>
            <numerusform>有 %n 個代碼始終沒有回應。由於線路曾遺失回應，裝置可能仍有其中部分代碼：%1</numerusform>
        </translation>
    </message>
    <message>
        <source>The controller answered no parameter code; no file was written.</source>
        <translation>裝置未回應任何參數代碼；未寫入檔案。</translation>
    </message>
    <message>
        <source>The link was lost at %1 before any value was read; no file was written.</source>
        <translation>尚未讀取任何數值，連線就已於 %1 中斷；未寫入檔案。</translation>
    </message>
    <message numerus="yes">
        <source>The link was lost at %1; the backup holds only the %n values read before.</source>
        <translation>
            <numerusform>連線已於 %1 中斷；備份只包含之前讀取的 %n 個數值。</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>The backup is incomplete (%n values). Replace the earlier file %1 with it?</source>
        <translation>
            <numerusform>備份不完整（%n 個數值）。要用它取代原有的檔案 %1 嗎？</numerusform>
        </translation>
    </message>
    <message>
        <source>The earlier file %1 was kept.</source>
        <translation>已保留原有的檔案 %1。</translation>
    </message>
    <message>
        <source>The incomplete backup was written to %1.</source>
        <translation>不完整的備份已寫入 %1。</translation>
    </message>
    <message>
        <source>No import file is chosen.</source>
        <translation>尚未選擇匯入檔案。</translation>
    </message>
    <message>
        <source>%1: the file does not exist.</source>
        <translation>%1：檔案不存在。</translation>
    </message>
    <message>
        <source>%1: not a parameter file (no %2 and %3 fields).</source>
        <translation>%1：不是參數檔案（沒有 %2 和 %3 欄位）。</translation>
    </message>
    <message>
        <source>%1: the file holds no parameter rows.</source>
        <translation>%1：檔案中沒有參數資料。</translation>
    </message>
    <message>
        <source>The controller does not answer; nothing was written.</source>
        <translation>裝置沒有回應；未寫入任何資料。</translation>
    </message>
    <message numerus="yes">
        <source>%n rows not sent (not a parameter code, or a value with control characters or too long): %1</source>
        <translation>
            <numerusform>有 %n 列未傳送（不是參數代碼，或數值含有控制字元或過長）：%1</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n rows not taken by the controller: %1</source>
        <translation>
            <numerusform>有 %n 列未被裝置接受：%1</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>The link was lost at %1; %n rows were not sent.</source>
        <translation>
            <numerusform>連線已於 %1 中斷；有 %n 列未傳送。</numerusform>
        </translation>
    </message>
    <message>
        <source>The backup was cancelled at %1; no file was written.</source>
        <translation>備份已於 %1 取消；未寫入檔案。</translation>
    </message>
    <message numerus="yes">
        <source>The restore was cancelled at %1; %n rows were not sent.</source>
        <translation>
            <numerusform>還原已於 %1 取消；有 %n 列未傳送。</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n values were written.</source>
        <translation>
            <numerusform>已寫入 %n 個數值。</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>ParamResult</name>
    <message>
        <source> and %1 more</source>
        <translation>，另有 %1 個</translation>
    </message>
</context>
<context>
    <name>ReadOutcome</name>
    <message numerus="yes">
        <source>%n event(s) read.</source>
        <translation>
            <numerusform>已讀取 %n 筆記錄。</numerusform>
        </translation>
    </message>
    <message>
        <source>The controller&apos;s event log was read to its end.</source>
        <translation>已讀取完裝置中的全部進出記錄。</translation>
    </message>
    <message numerus="yes">
        <source>The read stopped at the limit of %n event(s).</source>
        <translation>
            <numerusform>已達上限 %n 筆記錄，讀取停止。</numerusform>
        </translation>
    </message>
    <message>
        <source>The read was cancelled by the user.</source>
        <translation>讀取已由使用者取消。</translation>
    </message>
    <message>
        <source>The read was stopped by errors:</source>
        <translation>讀取因錯誤而停止：</translation>
    </message>
    <message numerus="yes">
        <source>%n event(s) are still in the controller.</source>
        <translation>
            <numerusform>裝置中還有 %n 筆記錄。</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n event(s) of an unknown kind were kept with code 0.</source>
        <translation>
            <numerusform>有 %n 筆未知類型的記錄，已以代碼 0 保留。</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n event(s) sent again by the controller were kept once.</source>
        <translation>
            <numerusform>裝置重複傳送的 %n 筆記錄只保留一次。</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>RecordFile</name>
    <message>
        <source>not a record file (the record fields IONO, CardNO, DataTime, iStatus, SStatus, iChannel, APB are missing)</source>
        <translation>不是記錄檔案（缺少記錄欄位 IONO、CardNO、DataTime、iStatus、SStatus、iChannel、APB）</translation>
    </message>
</context>
<context>
    <name>RecordJournal</name>
    <message>
        <source>%1: cannot create the folder</source>
        <translation>%1：無法建立資料夾</translation>
    </message>
    <message>
        <source>%1: another program is reading this controller&apos;s events</source>
        <translation>%1：另一個程式正在讀取此裝置的記錄</translation>
    </message>
    <message>
        <source>%1: cannot read the journal: %2</source>
        <translation>%1：無法讀取日誌檔：%2</translation>
    </message>
    <message>
        <source>%1: cannot write the journal: %2</source>
        <translation>%1：無法寫入日誌檔：%2</translation>
    </message>
    <message>
        <source>%1: the journal is not open</source>
        <translation>%1：日誌檔未開啟</translation>
    </message>
    <message>
        <source>the disk is full or the file too large</source>
        <translation>磁碟已滿或檔案過大</translation>
    </message>
    <message>
        <source>%1: cannot clear the journal: %2</source>
        <translation>%1：無法清除日誌檔：%2</translation>
    </message>
    <message numerus="yes">
        <source>%1: %n line(s) cannot be read as events (line %2); they are kept in the journal, and may each be an event that is in no file: look at them before the journal is removed.</source>
        <translation>
            <numerusform>%1：有 %n 行無法讀成事件（第 %2 行）；這些行保留在日誌檔中，每一行都可能是不在任何檔案中的事件：刪除日誌檔前請先查看。</numerusform>
        </translation>
    </message>
    <message>
        <source>%1: an event without date and time or event code is not journalled</source>
        <translation>%1：沒有日期時間或事件代碼的事件不記入日誌檔</translation>
    </message>
</context>
<context>
    <name>RecordReader</name>
    <message>
        <source>the link is not open</source>
        <translation>連線未開啟</translation>
    </message>
    <message>
        <source>no reply</source>
        <translation>沒有回應</translation>
    </message>
    <message>
        <source>damaged replies</source>
        <translation>回應已損壞</translation>
    </message>
    <message>
        <source>a reply of the wrong length</source>
        <translation>回應長度錯誤</translation>
    </message>
    <message>
        <source>replies cut short</source>
        <translation>回應不完整</translation>
    </message>
    <message>
        <source>more than one reply at once</source>
        <translation>同時收到多個回應</translation>
    </message>
    <message>
        <source>refused by the controller</source>
        <translation>被裝置拒絕</translation>
    </message>
    <message>
        <source>The link to the controller cannot be opened.</source>
        <translation>無法開啟與裝置的連線。</translation>
    </message>
    <message>
        <source>The event cannot be kept on disk, so it was not acknowledged and stays in the controller:</source>
        <translation>記錄無法保存到磁碟，因此未向裝置確認，記錄仍留在裝置中：</translation>
    </message>
    <message>
        <source>The controller did not confirm the acknowledgement of event %1 (%2); the event is kept, and if the controller sends it again it is taken once.</source>
        <translation>裝置未確認記錄 %1 的接收確認（%2）；此記錄已保留，若裝置再次傳送，只會收錄一次。</translation>
    </message>
    <message>
        <source>The next event could not be read (%1).</source>
        <translation>下一筆記錄無法讀取（%1）。</translation>
    </message>
    <message numerus="yes">
        <source>The controller sent the same event %n time(s) in a row although it confirmed each acknowledgement; the read stops.</source>
        <translation>
            <numerusform>裝置連續 %n 次傳送同一筆記錄，雖然每次都確認了接收確認；讀取已停止。</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>RecordReport</name>
    <message>
        <source>cannot create the folder</source>
        <translation>無法建立資料夾</translation>
    </message>
    <message>
        <source>cannot write the file: %1</source>
        <translation>無法寫入檔案：%1</translation>
    </message>
    <message>
        <source>cannot draw the report</source>
        <translation>無法繪製報表</translation>
    </message>
    <message>
        <source>cannot complete the file: %1</source>
        <translation>無法完成檔案：%1</translation>
    </message>
</context>
<context>
    <name>ReplyTally</name>
    <message numerus="yes">
        <source>the line delivered %n reply(ies) that no command was waiting for (replies sent twice?), so values read may belong to other numbers: read again, over TCP on a UDP network</source>
        <translation>
            <numerusform>線路送來 %n 個沒有指令在等待的回應（回應被重複送出？），讀到的值可能屬於其他編號：請重新讀取，在 UDP 網路上請改用 TCP</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>SdCardOperation</name>
    <message>
        <source>Controller SD card: no answer to the status request.</source>
        <translation>裝置 SD 卡：狀態查詢沒有回應。</translation>
    </message>
    <message>
        <source>Controller SD card: idle.</source>
        <translation>裝置 SD 卡：閒置。</translation>
    </message>
    <message>
        <source>Controller SD card: SD backup running, %1 done.</source>
        <translation>裝置 SD 卡：SD 備份進行中，已完成 %1。</translation>
    </message>
    <message>
        <source>Controller SD card: SD restore running, %1 done.</source>
        <translation>裝置 SD 卡：SD 還原進行中，已完成 %1。</translation>
    </message>
    <message>
        <source>Controller SD card: unknown state &quot;%1&quot;.</source>
        <translation>裝置 SD 卡：未知狀態「%1」。</translation>
    </message>
    <message>
        <source>The controller did not tell whether its SD card is free.</source>
        <translation>裝置未回報其 SD 卡是否可用。</translation>
    </message>
    <message>
        <source>The controller did not accept the start.</source>
        <translation>裝置未接受開始指令。</translation>
    </message>
    <message>
        <source>The controller accepted the start, but the copy never showed as running.</source>
        <translation>裝置已接受開始指令，但始終未顯示複製進行中。</translation>
    </message>
    <message>
        <source>The controller did not report the end of the copy in time, or stopped answering. It may still be working: leave it switched on. Its SD state is shown the next time it is asked.

Last known: %1</source>
        <translation>裝置未在時限內回報複製完成，或已停止回應。裝置可能仍在作業中：請勿關閉電源。下次查詢時會顯示其 SD 狀態。

最後已知狀態：%1</translation>
    </message>
    <message>
        <source>KT480NT System Busy!! [Backup...] </source>
        <translation>KT480NT 系統忙碌中!! [SD 備份進行中...] </translation>
    </message>
    <message>
        <source>KT480NT System Busy!! [Restore...] </source>
        <translation>KT480NT 系統忙碌中!! [SD 還原進行中...] </translation>
    </message>
    <message>
        <source>KT480NT System Busy [Backup...]!</source>
        <translation>KT480NT 系統忙碌中 [SD 備份進行中...]!</translation>
    </message>
    <message>
        <source>KT480NT System Busy [Restore...]!</source>
        <translation>KT480NT 系統忙碌中 [SD 還原進行中...]!</translation>
    </message>
    <message>
        <source>Cancelled: the utility stopped following the copy. The controller&apos;s copy goes on by itself: leave it switched on. Its SD state is shown the next time it is asked.

Last known: %1</source>
        <translation>已取消：本程式已停止追蹤複製進度。裝置會自行繼續複製：請勿關閉電源。下次查詢時會顯示其 SD 狀態。

最後已知狀態：%1</translation>
    </message>
    <message>
        <source>Cancelled before the copy was started: the controller was not told to copy.</source>
        <translation>在開始複製之前已取消：未通知裝置進行複製。</translation>
    </message>
</context>
<context>
    <name>ShownEventText</name>
    <message>
        <source>Unknown event %1 channel %2</source>
        <translation>未知事件 %1 通道 %2</translation>
    </message>
</context>
<context>
    <name>SyncCounts</name>
    <message>
        <source>Written: %1, cleared: %2, unchanged: %3, unreadable: %4, failed: %5</source>
        <translation>已寫入：%1，已清除：%2，未變更：%3，無法讀取：%4，失敗：%5</translation>
    </message>
</context>
<context>
    <name>TableCsv</name>
    <message>
        <source>text follows a closing quote</source>
        <translation>結束引號後還有文字</translation>
    </message>
    <message>
        <source>a quote inside an unquoted value</source>
        <translation>未加引號的值中出現引號</translation>
    </message>
    <message>
        <source>a quoted value is not closed</source>
        <translation>引號內的值沒有結束引號</translation>
    </message>
    <message>
        <source>%1: line %2: %3</source>
        <translation>%1：第 %2 行：%3</translation>
    </message>
    <message>
        <source>%1: nothing to write (the table is inactive)</source>
        <translation>%1：沒有可寫入的資料（表格未啟用）</translation>
    </message>
    <message>
        <source>%1: cannot write the file: %2</source>
        <translation>%1：無法寫入檔案：%2</translation>
    </message>
    <message>
        <source>no header row</source>
        <translation>沒有標題列</translation>
    </message>
    <message>
        <source>&quot;%1&quot; cannot be a field name (letters, digits, _ - . only, each name once)</source>
        <translation>「%1」不能作為欄位名稱（只能使用英文字母、數字及 _ - .，且每個名稱只能出現一次）</translation>
    </message>
    <message>
        <source>%1 values where the header names %2 fields</source>
        <translation>有 %1 個值，但標題列有 %2 個欄位</translation>
    </message>
    <message>
        <source>unusable header</source>
        <translation>標題列無法使用</translation>
    </message>
</context>
<context>
    <name>TableFile</name>
    <message>
        <source>%1: no such file</source>
        <translation>%1：檔案不存在</translation>
    </message>
    <message>
        <source>%1: cannot create the folder</source>
        <translation>%1：無法建立資料夾</translation>
    </message>
</context>
<context>
    <name>TableFileLimit</name>
    <message>
        <source>%1: the file holds %2 MB; table files above %3 MB are not read</source>
        <translation>%1：檔案大小為 %2 MB；超過 %3 MB 的表格檔案不會讀取</translation>
    </message>
    <message>
        <source>%1: not a file</source>
        <translation>%1：不是檔案</translation>
    </message>
    <message>
        <source>%1: cannot open the file: %2</source>
        <translation>%1：無法開啟檔案：%2</translation>
    </message>
    <message>
        <source>%1: cannot read the file: %2</source>
        <translation>%1：無法讀取檔案：%2</translation>
    </message>
</context>
<context>
    <name>TableStore</name>
    <message>
        <source>%1: nothing to save (the table is inactive or empty)</source>
        <translation>%1：沒有可儲存的資料（表格未啟用或是空的）</translation>
    </message>
    <message>
        <source>%1: cannot be saved: %2</source>
        <translation>%1：無法儲存：%2</translation>
    </message>
    <message>
        <source>%1: cannot write the file: %2</source>
        <translation>%1：無法寫入檔案：%2</translation>
    </message>
    <message>
        <source>%1: cannot complete the file: %2</source>
        <translation>%1：無法完成檔案：%2</translation>
    </message>
    <message>
        <source>%1: the field definitions are unusable</source>
        <translation>%1：欄位定義無法使用</translation>
    </message>
</context>
<context>
    <name>TextDecoding</name>
    <message>
        <source>the text is not valid %1</source>
        <translation>文字不是有效的 %1 編碼</translation>
    </message>
</context>
<context>
    <name>TfrmCardData</name>
    <message>
        <source>The read was cancelled; the cards after the last one read were not read.</source>
        <translation>讀取已取消；最後讀取的卡片之後的卡片都未讀取。</translation>
    </message>
    <message>
        <source>The controller stopped answering.</source>
        <translation>裝置停止回應。</translation>
    </message>
    <message numerus="yes">
        <source>%n card number(s) could not be read: %1

The card list is not complete. Read these numbers again?</source>
        <translation>
            <numerusform>有 %n 個卡片編號無法讀取：%1

卡片清單不完整。要重新讀取這些卡片編號嗎？</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n row(s) cannot be written:
%1

Write the other rows without them? Otherwise nothing is deleted or written.</source>
        <translation>
            <numerusform>有 %n 列無法寫入：
%1

要略過這些列，寫入其他列嗎？若選「否」，則不會刪除或寫入任何資料。</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n card(s) written.</source>
        <translation>
            <numerusform>已寫入 %n 張卡片。</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Card ID &quot;%1&quot; has %n character(s), not 16: this card was not added. Present it again.</source>
        <translation>
            <numerusform>卡號「%1」有 %n 個字元，不是 16 個：此卡片未新增。請再刷一次卡。</numerusform>
        </translation>
    </message>
    <message>
        <source>The card table holds cards added or changed in this window that are neither written to the controller nor saved to a file.

Lose them?</source>
        <translation>卡片表中有在此視窗新增或修改的卡片，尚未寫入控制器，也未存成檔案。

要放棄這些卡片嗎？</translation>
    </message>
    <message numerus="yes">
        <source>%n row(s) cannot be written:
%1

Nothing is deleted or written.</source>
        <translation>
            <numerusform>有 %n 列無法寫入：
%1

不會刪除或寫入任何卡片。</numerusform>
        </translation>
    </message>
    <message>
        <source>MELOK9 does not answer: check its cable and power.</source>
        <translation>MELOK9 沒有回應：請檢查連接線與電源。</translation>
    </message>
    <message numerus="yes">
        <source>%n card number(s) could not be read: %1

The card list is not complete. The link to the controller is closed: connect again in the main window, then read these numbers.</source>
        <translation>
            <numerusform>有 %n 個卡片編號無法讀取：%1

卡片清單不完整。與裝置的連線已關閉：請在主視窗重新連線，再讀取這些卡片編號。</numerusform>
        </translation>
    </message>
    <message>
        <source>Delete every card in the controller %1?

The controller then admits no card until cards are written to it again. This cannot be undone.</source>
        <translation>要刪除裝置 %1 中的全部卡片嗎？

在重新寫入卡片之前，裝置將不允許任何卡片通行。此操作無法復原。</translation>
    </message>
    <message>
        <source>The controller deleted every card. Cancel cut short the wait while it clears its card memory: give it a few seconds before cards are written to it.</source>
        <translation>裝置已刪除全部卡片。「取消」縮短了等待裝置清除卡片記憶體的時間：寫入卡片之前請稍候幾秒。</translation>
    </message>
    <message>
        <source>The controller did not confirm the delete; its cards may be unchanged.</source>
        <translation>裝置未確認刪除；其中的卡片可能沒有變更。</translation>
    </message>
    <message>
        <source>Write changes only</source>
        <translation>只寫入變更</translation>
    </message>
    <message>
        <source>Writes only the card numbers that differ from the list; no card is deleted first</source>
        <translation>只寫入與清單不同的卡號；不會先刪除任何卡片</translation>
    </message>
    <message>
        <source>No card number was written.</source>
        <translation>沒有寫入任何卡號。</translation>
    </message>
    <message>
        <source>Card numbers now as the list has them: %1</source>
        <translation>已與清單相同的卡號：%1</translation>
    </message>
</context>
<context>
    <name>TfrmComSearch</name>
    <message>
        <source>Thorough</source>
        <translation>完整搜尋</translation>
    </message>
    <message>
        <source>Try every Device ID at every line setting, also where no controller answers the broadcast query (slow).</source>
        <translation>在每一種通訊設定下嘗試每一個裝置編號，即使沒有裝置回應廣播查詢也照樣嘗試（較慢）。</translation>
    </message>
    <message>
        <source>A controller with Device ID %1 answers at %2 %3, outside the Device IDs searched.</source>
        <translation>裝置編號 %1 的控制器在 %2 %3 回應，不在搜尋的裝置編號範圍內。</translation>
    </message>
</context>
<context>
    <name>TfrmDownload</name>
    <message>
        <source>Choose the parameter file…</source>
        <translation>選擇參數檔案…</translation>
    </message>
    <message>
        <source>Choose the card data file…</source>
        <translation>選擇卡片資料檔案…</translation>
    </message>
    <message>
        <source>The backup replaces these files:
%1

Replace them?</source>
        <translation>備份會取代這些檔案：
%1

要取代嗎？</translation>
    </message>
    <message>
        <source>Write changes only</source>
        <translation>只寫入變更</translation>
    </message>
    <message>
        <source>Write only the cards that differ from the card file, each read back; no card is deleted first, so the doors keep admitting the cards both hold.</source>
        <translation>只寫入與卡片檔不同的卡片，每張寫入後讀回核對；不先刪除任何卡片，因此雙方都有的卡片在過程中仍可開門。</translation>
    </message>
</context>
<context>
    <name>TfrmIOdata</name>
    <message>
        <source>Events cannot be read from the controller while the journal that keeps them safe cannot be written.</source>
        <translation>保存記錄用的日誌檔無法寫入，因此無法從裝置讀取記錄。</translation>
    </message>
    <message numerus="yes">
        <source>An earlier read of controller %1 left %n event(s) that were acknowledged but never saved in a file. The controller no longer holds them.

Take them into the table? If not, these %n event(s) are lost.</source>
        <translation>
            <numerusform>先前讀取裝置 %1 時，有 %n 筆記錄已向裝置確認，但從未儲存到檔案，裝置中已不再保有這些記錄。

要將它們加入表格嗎？若不加入，這 %n 筆記錄將會遺失。</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n unsaved event(s) taken from the journal.</source>
        <translation>
            <numerusform>已從日誌檔取回 %n 筆未儲存的記錄。</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n event(s) read from the controller are not saved in a file, and the controller no longer holds them. %1 and lose these %n event(s)?</source>
        <translation>
            <numerusform>從裝置讀取的 %n 筆記錄尚未儲存到檔案，裝置中也已不再保有這些記錄。要%1並遺失這 %n 筆記錄嗎？</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n event(s) are not yet saved in a file: use &quot;Write to file&quot;.</source>
        <translation>
            <numerusform>有 %n 筆記錄尚未儲存到檔案：請使用「寫入檔案」。</numerusform>
        </translation>
    </message>
    <message>
        <source>PDF files (*.pdf)</source>
        <translation>PDF 檔案 (*.pdf)</translation>
    </message>
    <message>
        <source>Saved %1</source>
        <translation>已儲存 %1</translation>
    </message>
    <message>
        <source>CSV files (*.csv)</source>
        <translation>CSV 檔案 (*.csv)</translation>
    </message>
    <message>
        <source>Load the file</source>
        <translation>載入檔案</translation>
    </message>
    <message>
        <source>Clear the table</source>
        <translation>清除表格</translation>
    </message>
    <message>
        <source>Export PDF</source>
        <translation>匯出 PDF</translation>
    </message>
    <message>
        <source>Save the report as a PDF file</source>
        <translation>將報表儲存為 PDF 檔案</translation>
    </message>
    <message>
        <source>Export CSV</source>
        <translation>匯出 CSV</translation>
    </message>
    <message>
        <source>Save the table as a CSV file for a spreadsheet</source>
        <translation>將表格儲存為 CSV 檔案，供試算表使用</translation>
    </message>
    <message numerus="yes">
        <source>These %n event(s) are in no file, and the controller no longer holds them. Lose them for good?</source>
        <translation>
            <numerusform>這 %n 筆記錄不在任何檔案中，控制器也已不再保存。確定要永久捨棄嗎？</numerusform>
        </translation>
    </message>
    <message>
        <source>The table holds events loaded from a file, which does not say which controller they are of. Store all of them in the archive as events of controller %1?</source>
        <translation>表格中的記錄是從檔案載入的，檔案未註明其所屬的控制器。要將這些記錄全部作為控制器 %1 的記錄存入資料庫嗎？</translation>
    </message>
    <message numerus="yes">
        <source>%n event(s) added to the archive, %1 there already.</source>
        <translation>
            <numerusform>已存入資料庫 %n 筆記錄，%1 筆已在其中。</numerusform>
        </translation>
    </message>
    <message>
        <source>Save to archive</source>
        <translation>存入資料庫</translation>
    </message>
    <message>
        <source>Store the table&apos;s events in the event archive</source>
        <translation>將表格中的記錄存入記錄資料庫</translation>
    </message>
</context>
<context>
    <name>TfrmKT480NT5</name>
    <message>
        <source>Save log…</source>
        <translation>儲存通訊記錄…</translation>
    </message>
    <message>
        <source>text files(*.txt)</source>
        <translation>文字檔(*.txt)</translation>
    </message>
</context>
<context>
    <name>TfrmParameter</name>
    <message>
        <source>The operation ended unexpectedly.</source>
        <translation>操作意外結束。</translation>
    </message>
    <message>
        <source>Choose the export file…</source>
        <translation>選擇匯出檔案…</translation>
    </message>
    <message>
        <source>Choose the import file…</source>
        <translation>選擇匯入檔案…</translation>
    </message>
</context>
<context>
    <name>WholeFileCommit</name>
    <message>
        <source>not every byte could be written: the disk is full, or the file is larger than this program may write</source>
        <translation>無法寫入全部資料：磁碟已滿，或檔案超過本程式可寫入的大小</translation>
    </message>
</context>
<context>
    <name>main</name>
    <message>
        <source>Program is already running!</source>
        <translation>程式已在執行中!</translation>
    </message>
</context>
</TS>
