<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US" sourcelanguage="en_US">
<context>
    <name>StringTable</name>
    <message>
        <source>102</source>
        <translation>Windows socket init failed.</translation>
    </message>
    <message>
        <source>10000</source>
        <translation>Error</translation>
    </message>
    <message>
        <source>10001</source>
        <translation>Note</translation>
    </message>
    <message>
        <source>10002</source>
        <translation>Success</translation>
    </message>
    <message>
        <source>10003</source>
        <translation>Start</translation>
    </message>
    <message>
        <source>10004</source>
        <translation>Pause</translation>
    </message>
    <message>
        <source>10005</source>
        <translation>Scroll (+Ctrl): Zoom Y(X) axis&#xd;
 Click: Shift X/Y axis&#xd;
 Double click: Reset</translation>
    </message>
    <message>
        <source>10100</source>
        <translation>Connect</translation>
    </message>
    <message>
        <source>10101</source>
        <translation>Disconn.</translation>
    </message>
    <message>
        <source>10102</source>
        <translation>No Device Detected</translation>
    </message>
    <message>
        <source>10103</source>
        <translation>Device Not Connected</translation>
    </message>
    <message>
        <source>10104</source>
        <translation>Failed to open device</translation>
    </message>
    <message>
        <source>10106</source>
        <translation>Failed to set data transfer mode </translation>
    </message>
    <message>
        <source>10107</source>
        <translation>Failed to set function mode</translation>
    </message>
    <message>
        <source>10150</source>
        <translation>Succeed reading parameters</translation>
    </message>
    <message>
        <source>10151</source>
        <translation>Failed to read parameters</translation>
    </message>
    <message>
        <source>10152</source>
        <translation>Succeed setting parameters</translation>
    </message>
    <message>
        <source>10153</source>
        <translation>Failed to set parameters</translation>
    </message>
    <message>
        <source>10200</source>
        <translation>Capture Data</translation>
    </message>
    <message>
        <source>10201</source>
        <translation>Stop Capture</translation>
    </message>
    <message>
        <source>10210</source>
        <translation>Energy Information</translation>
    </message>
    <message>
        <source>10211</source>
        <translation>Fraction Power(dB)</translation>
    </message>
    <message>
        <source>10212</source>
        <translation>Time (sec.)</translation>
    </message>
    <message>
        <source>10213</source>
        <translation>--Energy Value</translation>
    </message>
    <message>
        <source>10214</source>
        <translation>--Trigger Threshold</translation>
    </message>
    <message>
        <source>10215</source>
        <translation>--Hold Threshold</translation>
    </message>
    <message>
        <source>10216</source>
        <translation>No. %.1fs Target Energy: %.1f dB</translation>
    </message>
    <message>
        <source>10217</source>
        <translation>No. %.1fs Trigger Energy: %.1f dB</translation>
    </message>
    <message>
        <source>10218</source>
        <translation>No. %.1fs Hold Energy: %.1f dB</translation>
    </message>
    <message>
        <source>10230</source>
        <translation>Range Information</translation>
    </message>
    <message>
        <source>10231</source>
        <translation>Range (m)</translation>
    </message>
    <message>
        <source>10232</source>
        <translation>Time (sec.)</translation>
    </message>
    <message>
        <source>10233</source>
        <translation>No.%.1fs Range: %.1f m</translation>
    </message>
    <message>
        <source>10300</source>
        <translation>Target Range: %.2f m&#xd;
&#xd;
</translation>
    </message>
    <message>
        <source>10310</source>
        <translation>FP VS RG</translation>
    </message>
    <message>
        <source>10311</source>
        <translation>Fraction Power (dB)</translation>
    </message>
    <message>
        <source>10312</source>
        <translation>0.7 m/Range Gate</translation>
    </message>
    <message>
        <source>10313</source>
        <translation>--Energy Value</translation>
    </message>
    <message>
        <source>10314</source>
        <translation>--Trigger Threshold</translation>
    </message>
    <message>
        <source>10315</source>
        <translation>--Hold Threshold</translation>
    </message>
    <message>
        <source>10316</source>
        <translation>RG No.%d Target Energy: %.1f dB</translation>
    </message>
    <message>
        <source>10317</source>
        <translation>RG No.%d Trigger Energy: %.1f dB</translation>
    </message>
    <message>
        <source>10318</source>
        <translation>RG No.%d Hold Energy: %.1f dB</translation>
    </message>
    <message>
        <source>10330</source>
        <translation>Range VS Time</translation>
    </message>
    <message>
        <source>10331</source>
        <translation>Range (m)</translation>
    </message>
    <message>
        <source>10332</source>
        <translation>Time (sec.)</translation>
    </message>
    <message>
        <source>10333</source>
        <translation>No. %.1fs Range: %.1f m</translation>
    </message>
    <message>
        <source>10350</source>
        <translation>Generate successed.</translation>
    </message>
    <message>
        <source>10351</source>
        <translation>Generate failed.</translation>
    </message>
    <message>
        <source>10352</source>
        <translation>Generate progress: %3d%%</translation>
    </message>
    <message>
        <source>10402</source>
        <translation>Failed to open the bin file, please check the directory!</translation>
    </message>
    <message>
        <source>10403</source>
        <translation>Port No. cannot be NULL!</translation>
    </message>
    <message>
        <source>10404</source>
        <translation>Failed to open the port device!</translation>
    </message>
    <message>
        <source>10405</source>
        <translation>Obtaining firmware information&#xd;
</translation>
    </message>
    <message>
        <source>10406</source>
        <translation>Failed to enable program!&#xd;
</translation>
    </message>
    <message>
        <source>10407</source>
        <translation>Failed to obtain operation mode!&#xd;
</translation>
    </message>
    <message>
        <source>10408</source>
        <translation>Failed to obtain device ID&#xd;
</translation>
    </message>
    <message>
        <source>10409</source>
        <translation>Failed to obtain program partition information&#xd;
</translation>
    </message>
    <message>
        <source>10410</source>
        <translation>Bin file error!</translation>
    </message>
    <message>
        <source>10411</source>
        <translation>Please choose the download partition!</translation>
    </message>
    <message>
        <source>10412</source>
        <translation>Software-Reset Failed!&#xd;
</translation>
    </message>
    <message>
        <source>10413</source>
        <translation>Failed to send bin file information, error code: %d&#xd;
</translation>
    </message>
    <message>
        <source>10414</source>
        <translation>Failed to download, serial no.: %d, error code: %d&#xd;
</translation>
    </message>
    <message>
        <source>10415</source>
        <translation>Downloading… &#xd;
</translation>
    </message>
    <message>
        <source>10416</source>
        <translation>Download successful! &#xd;
</translation>
    </message>
    <message>
        <source>10417</source>
        <translation>Size of bin file: %d byte&#xd;
</translation>
    </message>
    <message>
        <source>10418</source>
        <translation>Checksum: 0x%08x&#xd;
</translation>
    </message>
    <message>
        <source>10419</source>
        <translation>Download Progress: %.2f%%&#xd;
</translation>
    </message>
    <message>
        <source>10420</source>
        <translation>Each pack must be more than 20 byte&#xd;
</translation>
    </message>
    <message>
        <source>10421</source>
        <translation>Device ID: 0x%x&#xd;
</translation>
    </message>
    <message>
        <source>10422</source>
        <translation>Current Firmware: %s</translation>
    </message>
    <message>
        <source>10423</source>
        <translation>Device ID: Unknown</translation>
    </message>
    <message>
        <source>10431</source>
        <translation>Logon Failed&#xd;
</translation>
    </message>
    <message>
        <source>10432</source>
        <translation>Get Version Failed&#xd;
</translation>
    </message>
    <message>
        <source>10433</source>
        <translation>Download FW File Failed&#xd;
</translation>
    </message>
    <message>
        <source>10434</source>
        <translation>Download Progress: %d, Speed: %.2fKBps</translation>
    </message>
</context>
</TS>
